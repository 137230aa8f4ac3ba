// SPDX-License-Identifier: MIT
#include "tools/zqsim/front_end.h"

#include <signal.h>
#include <stdio.h>

#include "drive/image_names.h"
#include "platform/audio.h"

namespace zqsim {
namespace {

void (*g_clean)(void*) = nullptr;
void* g_context = nullptr;

void OnSignal(int sig) {
  if (g_clean) g_clean(g_context);
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

std::string Usage(const UsageParts& p) {
  using drive::kImageNames;
  return std::string("usage: ") + p.program + " [options] PATH\n" + p.also +
         "Plays PATH (an .mp3/.m4a file, or a folder: its first track) " + p.about + "\n" + p.run +
         "  --shots DIR       screenshots go here (NAME.png)\n"
         "  --trace FILE      the trace goes here instead of stdout\n"
         "  --image NAME      the build to run: " +
         kImageNames[0] + " (default),\n                    " + kImageNames[1] + ", " + kImageNames[2] + ", " +
         kImageNames[3] + ",\n" + p.image_kind + p.images +
         "  --root DIR        \"file://b/\" is DIR as it is (PATH must lie in it)\n"
         "  --platform NAME   the platform name (\"" AUD_PLATFORM_LTE "\" switches the volume type to " +
         std::to_string(AUD_VOLUME_TYPE_LTE) +
         ")\n"
         "  --gb2uc FILE      the GB2312 table (default: the build's gb2uc.map)\n" +
         p.window +
         "  -v                say on stderr why the engine refuses a file\n"
         "  -h, --help        this text\n"
         "\n" +
         p.after;
}

int ReadCommandLine(int argc, char** argv, const UsageParts& usage, Options* options, drive::Script* script) {
  bool help = false;
  std::string error;
  if (!ParseOptions(argc, argv, options, &help, &error)) {
    fprintf(stderr, "%s: %s (%s --help lists the options)\n", usage.program, error.c_str(), usage.program);
    return 2;
  }
  if (help) {
    fputs(Usage(usage).c_str(), stdout);
    return 0;
  }
  // The whole script is checked before anything runs.
  if (!options->script.empty() && !drive::LoadScriptOrSay(usage.program, options->script.c_str(), script)) return 2;
  return -1;
}

void CleanUpOnSignals(void (*clean)(void* context), void* context, bool pipe) {
  g_clean = clean;
  g_context = context;
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  if (pipe) signal(SIGPIPE, OnSignal);
  signal(SIGHUP, OnSignal);
}

void StopCleaningUp() {
  g_clean = nullptr;
  g_context = nullptr;
}

}  // namespace zqsim
