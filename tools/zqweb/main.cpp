// SPDX-License-Identifier: MIT
// zqweb: the ZQ lyrics player's page in headless Chromium. See kUsage.
#include <stdio.h>

#include <string>

#include "drive/key_script.h"
#include "tools/zqsim/front_end.h"
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

const zqsim::UsageParts kUsage = {
    "zqweb",
    "in the page\n"
    "zq-player.html, run in headless Chromium: the program's WebAssembly build\n"
    "and the stand-in's core, with the key scripts, trace, screenshots and exit\n"
    "status of zqsim --headless. Track lengths come from zqsim's FFmpeg probe.\n",
    "  --headless        accepted; zqweb is always headless\n"
    "  --script FILE     run the key script FILE, then end\n"
    "  --until-end       play the folder once through in list mode\n",
    "                    or the path of a WebAssembly image file\n",
    "  --images DIR      take the image NAME.wasm from DIR instead of the page\n",
    "  --scale N, --key-map  accepted, as zqsim takes them; there is no window\n",
    "Key scripts are zqsim's (zqsim --help lists their steps).\n"
    "Needs node, chromium (Debian) and the page built by scripts/web, which\n"
    "also installs the runner's puppeteer-core. ZQ_CHROMIUM names another\n"
    "Chromium. Exit status: 0 done, 1 the run failed, 2 bad command line,\n"
    "script, PATH or image.\n",
    "       zqweb fix FILE... --out DIR [--to ENC] ...  (zqweb fix --help)\n",
};

// The temporary phone folder must not outlive an interrupted run.
void RemoveTempFiles(void* launch) {
  static_cast<zqweb::Launch*>(launch)->RemoveTempFiles();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "fix")
    return zqweb::RunFixCommand(argc, argv, {ZQ_WEB_PAGE, ZQ_WEB_RUNNER, ZQ_DEFAULT_GB2UC_MAP});
  zqsim::Options options;
  drive::Script script;
  const int done = zqsim::ReadCommandLine(argc, argv, kUsage, &options, &script);
  if (done >= 0) return done;
  zqweb::Launch launch({ZQ_WEB_PAGE, ZQ_WEB_RUNNER, ZQ_DEFAULT_GB2UC_MAP});
  zqsim::CleanUpOnSignals(RemoveTempFiles, &launch, false);
  int status = launch.Run(options);
  zqsim::StopCleaningUp();
  return status;
}
