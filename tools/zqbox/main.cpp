// SPDX-License-Identifier: MIT
// zqbox: the ZQ lyrics player's phone images in the big-endian box. See
// usage_text().
#include <signal.h>
#include <stdio.h>

#include <string>

#include "drive/key_script.h"
#include "tools/zqbox/launch.h"
#include "tools/zqsim/options.h"

#ifndef ZQ_DEFAULT_PHONE_DIR
#define ZQ_DEFAULT_PHONE_DIR "build/phone"
#endif
#ifndef ZQ_DEFAULT_GB2UC_MAP
#define ZQ_DEFAULT_GB2UC_MAP "build/gb2uc.map"
#endif
#ifndef ZQ_BOX_PROGRAM
#define ZQ_BOX_PROGRAM "build/box/zqbox_program.elf"
#endif

namespace {

const char* UsageText() {
  return "usage: zqbox [options] PATH\n"
         "Plays PATH (an .mp3/.m4a file, or a folder: its first track) with a phone\n"
         "image itself: the stand-in and the image run as ARM big-endian code under\n"
         "qemu-armeb -cpu arm926, headless, with the key scripts, trace, screenshots\n"
         "and exit status of zqsim --headless.\n"
         "\n"
         "  --headless        accepted; the box is always headless\n"
         "  --script FILE     run the key script FILE, then end\n"
         "  --until-end       play the folder once through in list mode\n"
         "  --shots DIR       screenshots go here (NAME.png)\n"
         "  --trace FILE      the trace goes here instead of stdout\n"
         "  --image NAME      the build to run: zq_player_blue (default),\n"
         "                    zq_player_blue_patch, zq_player, zq_player_patch,\n"
         "                    or the path of a phone image file\n"
         "  --images DIR      where the images are (default: the build's phone images)\n"
         "  --root DIR        \"file://b/\" is DIR as it is (PATH must lie in it)\n"
         "  --platform NAME   the platform name (\"LTE\" switches the volume type to 4)\n"
         "  --gb2uc FILE      the GB2312 table (default: the build's gb2uc.map)\n"
         "  --scale N, --key-map  accepted, as zqsim takes them; there is no window\n"
         "  -v                say on stderr why the engine refuses a file\n"
         "  -h, --help        this text\n"
         "\n"
         "Key scripts are zqsim's (zqsim --help lists their steps).\n"
         "Needs qemu-armeb (Debian: apt-get install qemu-user).\n"
         "Exit status: 0 done, 1 the run failed, 2 bad command line, script, PATH\n"
         "or image.\n";
}

zqbox::Launch* g_launch = nullptr;

// The temporary phone folder must not outlive an interrupted run.
void OnSignal(int sig) {
  if (g_launch) g_launch->RemoveTempFiles();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

int main(int argc, char** argv) {
  zqsim::Options options;
  bool help = false;
  std::string error;
  if (!zqsim::ParseOptions(argc, argv, &options, &help, &error)) {
    fprintf(stderr, "zqbox: %s (zqbox --help lists the options)\n", error.c_str());
    return 2;
  }
  if (help) {
    fputs(UsageText(), stdout);
    return 0;
  }
  // The whole script is checked before anything runs (the box reads it
  // again, with the same parser).
  if (!options.script.empty()) {
    drive::Script script;
    if (!drive::LoadScriptOrSay("zqbox", options.script.c_str(), &script)) return 2;
  }
  zqbox::Launch launch({ZQ_DEFAULT_PHONE_DIR, ZQ_DEFAULT_GB2UC_MAP, ZQ_BOX_PROGRAM});
  g_launch = &launch;
  // While the box runs, these are passed on to it (qemu_run.cpp).
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);
  int status = launch.Run(options);
  g_launch = nullptr;
  return status;
}
