// SPDX-License-Identifier: MIT
// zqbox: the ZQ lyrics player's phone images in the big-endian box. See kUsage.
#include <stdio.h>

#include <string>

#include "drive/key_script.h"
#include "tools/zqbox/launch.h"
#include "tools/zqsim/front_end.h"
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

const zqsim::UsageParts kUsage = {
    "zqbox",
    "with a phone\n"
    "image itself: the stand-in and the image run as ARM big-endian code under\n"
    "qemu-armeb -cpu arm926, headless, with the key scripts, trace, screenshots\n"
    "and exit status of zqsim --headless.\n",
    "  --headless        accepted; the box is always headless\n"
    "  --script FILE     run the key script FILE, then end\n"
    "  --until-end       play the folder once through in list mode\n",
    "                    or the path of a phone image file\n",
    "  --images DIR      where the images are (default: the build's phone images)\n",
    "  --scale N, --key-map  accepted, as zqsim takes them; there is no window\n",
    "Key scripts are zqsim's (zqsim --help lists their steps).\n"
    "Needs qemu-armeb (Debian: apt-get install qemu-user).\n"
    "Exit status: 0 done, 1 the run failed, 2 bad command line, script, PATH\n"
    "or image.\n",
};

// The temporary phone folder must not outlive an interrupted run.
void RemoveTempFiles(void* launch) {
  static_cast<zqbox::Launch*>(launch)->RemoveTempFiles();
}

}  // namespace

int main(int argc, char** argv) {
  zqsim::Options options;
  drive::Script script;
  // The whole script is checked before anything runs (the box reads it
  // again, with the same parser).
  const int done = zqsim::ReadCommandLine(argc, argv, kUsage, &options, &script);
  if (done >= 0) return done;
  zqbox::Launch launch({ZQ_DEFAULT_PHONE_DIR, ZQ_DEFAULT_GB2UC_MAP, ZQ_BOX_PROGRAM});
  // While the box runs, these are passed on to it (qemu_run.cpp).
  zqsim::CleanUpOnSignals(RemoveTempFiles, &launch, false);
  int status = launch.Run(options);
  zqsim::StopCleaningUp();
  return status;
}
