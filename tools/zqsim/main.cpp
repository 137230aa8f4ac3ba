// zqsim: the ZQ lyrics player on a simulated phone. See usage_text().
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "sim/driver.h"
#include "tools/zqsim/headless.h"
#include "tools/zqsim/key_script.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/run_notes.h"
#include "tools/zqsim/session.h"
#include "tools/zqsim/trace.h"
#include "tools/zqsim/window.h"

namespace {

zqsim::Session* g_session = nullptr;

// The temporary phone folder must not outlive an interrupted run.
void on_signal(int sig) {
  if (g_session) g_session->remove_temp_files();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

int main(int argc, char** argv) {
  zqsim::Options options;
  bool help = false;
  std::string error;
  if (!zqsim::parse_options(argc, argv, &options, &help, &error)) {
    fprintf(stderr, "zqsim: %s (zqsim --help lists the options)\n", error.c_str());
    return 2;
  }
  if (help) {
    fputs(zqsim::usage_text(), stdout);
    return 0;
  }

  // The whole script is checked before anything runs.
  std::vector<zqsim::Step> steps;
  if (!options.script.empty()) {
    zqsim::ScriptError bad;
    if (!zqsim::load_script(options.script.c_str(), &steps, &bad)) {
      if (bad.line > 0)
        fprintf(stderr, "zqsim: %s:%d: %s\n", options.script.c_str(), bad.line, bad.message.c_str());
      else
        fprintf(stderr, "zqsim: %s\n", bad.message.c_str());
      return 2;
    }
  }

  bool windowed = !options.headless && !options.until_end && zqsim::display_available();

  zqsim::Session session;
  g_session = &session;
  signal(SIGINT, on_signal);
  signal(SIGTERM, on_signal);
  signal(SIGPIPE, on_signal);  // a trace piped into a pager that quits
  signal(SIGHUP, on_signal);
  if (!session.prepare(options, &error)) {
    fprintf(stderr, "zqsim: %s\n", error.c_str());
    session.finish();
    return session.bad_input() ? 2 : 1;
  }
  // The trace file is made only once the run can start: a refused run
  // leaves no empty trace behind.
  FILE* out = stdout;
  if (!options.trace_file.empty()) {
    out = fopen(options.trace_file.c_str(), "w");
    if (out == nullptr) {
      fprintf(stderr, "zqsim: cannot write the trace %s\n", options.trace_file.c_str());
      session.finish();
      return 1;
    }
  }
  int status = 1;
  zqsim::Trace trace(out);
  zqsim::RunNotes notes([](const std::string& line) { fprintf(stderr, "%s\n", line.c_str()); });
  trace.on_note = [&notes](sim::Fact fact, uint32_t value, const char* text) { notes.fact(fact, value, text); };
  trace.attach();
  if (!session.start(&error)) {
    fprintf(stderr, "zqsim: %s\n", error.c_str());
  } else if (windowed) {
    status = zqsim::run_window(options, steps.empty() ? nullptr : &steps, &trace, session);
  } else {
    if (!options.headless && !options.until_end && options.script.empty())
      fprintf(stderr, "zqsim: no display; playing headless\n");
    status = zqsim::run_headless(options, options.script.empty() ? nullptr : &steps, &trace);
  }
  trace.detach();
  session.finish();
  g_session = nullptr;
  if (out != stdout) fclose(out);
  return status;
}
