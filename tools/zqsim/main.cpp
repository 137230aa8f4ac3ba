// SPDX-License-Identifier: MIT
// zqsim: the ZQ lyrics player on a simulated phone. See kUsage.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "drive/headless.h"
#include "drive/key_script.h"
#include "drive/run_notes.h"
#include "drive/trace.h"
#include "sim/driver.h"
#include "tools/zqsim/front_end.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/session.h"
#include "tools/zqsim/window.h"

namespace {

const zqsim::UsageParts kUsage = {
    "zqsim",
    "on the\n"
    "simulated phone, in a window with sound when there is a display, else\n"
    "headless.\n",
    "  --headless        no window and no sound; virtual time as fast as it goes\n"
    "                    (also when there is no display)\n"
    "  --script FILE     run the key script FILE, then end (with a window, its\n"
    "                    waits follow the window's clock)\n"
    "  --until-end       headless: play the folder once through in list mode\n",
    "                    or the path of an image file\n",
    "  --images DIR      where the images are (default: the build's images)\n",
    "  --scale N         window: screen scale 1 to 6 (default 2)\n"
    "  --key-map         window: open with the key map shown (F1 toggles it)\n",
    "Window keys: F1 shows the phone's keys; F5 keypad lock, F6 voice call,\n"
    "F7 idle screen / another application in front, F12 screenshot (into\n"
    "--shots DIR, else .).\n"
    "\n"
    "Key script steps, one per line (# starts a comment; keys in hex like 0x2F\n"
    "or decimal):\n"
    "  wait MS | press K | release K | tap K | hold K MS | lock on|off\n"
    "  call on|off | front idle|other | shot NAME | key NAME [MS]\n"
    "  fail alloc N | end\n"
    "  (key: a keyboard key of the window by name, like F5, Up, PageDown, *,\n"
    "  held MS; fail alloc: the program's N-th memory request from then on\n"
    "  fails)\n"
    "Exit status: 0 done, 1 the run failed, 2 bad command line, script, PATH\n"
    "or image.\n",
};

// The temporary phone folder must not outlive an interrupted run.
void RemoveTempFiles(void* session) {
  static_cast<zqsim::Session*>(session)->RemoveTempFiles();
}

}  // namespace

int main(int argc, char** argv) {
  zqsim::Options options;
  drive::Script script;
  const int done = zqsim::ReadCommandLine(argc, argv, kUsage, &options, &script);
  if (done >= 0) return done;
  std::string error;
  const drive::Script* steps = options.script.empty() ? nullptr : &script;

  bool windowed = !options.headless && !options.until_end && zqsim::DisplayAvailable();

  zqsim::Session session;
  zqsim::CleanUpOnSignals(RemoveTempFiles, &session, true);
  if (!session.Prepare(options, &error)) {
    fprintf(stderr, "zqsim: %s\n", error.c_str());
    session.Finish();
    return session.BadInput() ? 2 : 1;
  }
  // The trace file is made only once the run can start: a refused run
  // leaves no empty trace behind.
  drive::OutputFile file;
  if (!options.trace_file.empty() && !file.Open(options.trace_file.c_str())) {
    fprintf(stderr, "zqsim: cannot write the trace %s\n", options.trace_file.c_str());
    session.Finish();
    return 1;
  }
  int status = 1;
  drive::Trace trace(options.trace_file.empty() ? drive::StandardOutput() : file.AsOutput());
  drive::RunNotes notes("zqsim");
  trace.on_note = notes.Listener();
  trace.Attach();
  if (!session.Start(&error)) {
    fprintf(stderr, "zqsim: %s\n", error.c_str());
  } else if (windowed) {
    status = zqsim::RunWindow(options, steps, &trace, session);
  } else {
    if (!options.headless && !options.until_end && options.script.empty())
      fprintf(stderr, "zqsim: no display; playing headless\n");
    status = drive::RunHeadless(zqsim::HeadlessRun(options), steps, &trace);
  }
  trace.Detach();
  session.Finish();
  zqsim::StopCleaningUp();
  return status;
}
