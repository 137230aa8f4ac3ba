// SPDX-License-Identifier: MIT
// zqweb: the ZQ lyrics player's page in headless Chromium. See usage_text().
#include <signal.h>
#include <stdio.h>

#include <string>

#include "drive/key_script.h"
#include "tools/zqsim/options.h"
#include "tools/zqweb/fix_run.h"
#include "tools/zqweb/launch.h"

#ifndef ZQ_WEB_PAGE
#define ZQ_WEB_PAGE "build/web/zq-player.html"
#endif
#ifndef ZQ_WEB_RUNNER
#define ZQ_WEB_RUNNER "tools/zqweb/run_page.js"
#endif
#ifndef ZQ_DEFAULT_GB2UC_MAP
#define ZQ_DEFAULT_GB2UC_MAP "build/gb2uc.map"
#endif

namespace {

const char* UsageText() {
  return "usage: zqweb [options] PATH\n"
         "       zqweb fix FILE... --out DIR [--to ENC] ...  (zqweb fix --help)\n"
         "Plays PATH (an .mp3/.m4a file, or a folder: its first track) in the page\n"
         "zq-player.html, run in headless Chromium: the program's WebAssembly build\n"
         "and the stand-in's core, with the key scripts, trace, screenshots and exit\n"
         "status of zqsim --headless. Track lengths come from zqsim's FFmpeg probe.\n"
         "\n"
         "  --headless        accepted; zqweb is always headless\n"
         "  --script FILE     run the key script FILE, then end\n"
         "  --until-end       play the folder once through in list mode\n"
         "  --shots DIR       screenshots go here (NAME.png)\n"
         "  --trace FILE      the trace goes here instead of stdout\n"
         "  --image NAME      the build to run: zq_player_blue (default),\n"
         "                    zq_player_blue_patch, zq_player, zq_player_patch,\n"
         "                    or the path of a WebAssembly image file\n"
         "  --images DIR      take the image NAME.wasm from DIR instead of the page\n"
         "  --root DIR        \"file://b/\" is DIR as it is (PATH must lie in it)\n"
         "  --platform NAME   the platform name (\"LTE\" switches the volume type to 4)\n"
         "  --gb2uc FILE      the GB2312 table (default: the build's gb2uc.map)\n"
         "  --scale N, --key-map  accepted, as zqsim takes them; there is no window\n"
         "  -v                say on stderr why the engine refuses a file\n"
         "  -h, --help        this text\n"
         "\n"
         "Key scripts are zqsim's (zqsim --help lists their steps).\n"
         "Needs node, chromium (Debian) and the page built by scripts/web, which\n"
         "also installs the runner's puppeteer-core. ZQ_CHROMIUM names another\n"
         "Chromium. Exit status: 0 done, 1 the run failed, 2 bad command line,\n"
         "script, PATH or image.\n";
}

zqweb::Launch* g_launch = nullptr;

void OnSignal(int sig) {
  if (g_launch) g_launch->RemoveTempFiles();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "fix")
    return zqweb::RunFixCommand(argc, argv, {ZQ_WEB_PAGE, ZQ_WEB_RUNNER, ZQ_DEFAULT_GB2UC_MAP});
  zqsim::Options options;
  bool help = false;
  std::string error;
  if (!zqsim::ParseOptions(argc, argv, &options, &help, &error)) {
    fprintf(stderr, "zqweb: %s (zqweb --help lists the options)\n", error.c_str());
    return 2;
  }
  if (help) {
    fputs(UsageText(), stdout);
    return 0;
  }
  if (!options.script.empty()) {
    drive::Script script;
    if (!drive::LoadScriptOrSay("zqweb", options.script.c_str(), &script)) return 2;
  }
  zqweb::Launch launch({ZQ_WEB_PAGE, ZQ_WEB_RUNNER, ZQ_DEFAULT_GB2UC_MAP});
  g_launch = &launch;
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);
  int status = launch.Run(options);
  g_launch = nullptr;
  return status;
}
