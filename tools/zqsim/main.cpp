// SPDX-License-Identifier: MIT
// zqsim: the ZQ lyrics player on a simulated phone. See usage_text().
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "drive/headless.h"
#include "drive/key_script.h"
#include "drive/run_notes.h"
#include "drive/trace.h"
#include "sim/driver.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/session.h"
#include "tools/zqsim/window.h"

namespace {

zqsim::Session* g_session = nullptr;

// The temporary phone folder must not outlive an interrupted run.
void OnSignal(int sig) {
  if (g_session) g_session->RemoveTempFiles();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

int main(int argc, char** argv) {
  zqsim::Options options;
  bool help = false;
  std::string error;
  if (!zqsim::ParseOptions(argc, argv, &options, &help, &error)) {
    fprintf(stderr, "zqsim: %s (zqsim --help lists the options)\n", error.c_str());
    return 2;
  }
  if (help) {
    fputs(zqsim::UsageText(), stdout);
    return 0;
  }

  // The whole script is checked before anything runs.
  drive::Script script;
  if (!options.script.empty()) {
    if (!drive::LoadScriptOrSay("zqsim", options.script.c_str(), &script)) return 2;
  }
  const drive::Script* steps = options.script.empty() ? nullptr : &script;

  bool windowed = !options.headless && !options.until_end && zqsim::DisplayAvailable();

  zqsim::Session session;
  g_session = &session;
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGPIPE, OnSignal);  // a trace piped into a pager that quits
  signal(SIGHUP, OnSignal);
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
  g_session = nullptr;
  return status;
}
