// SPDX-License-Identifier: MIT
// What zqsim, zqbox and zqweb do alike around a run: one command line (the
// options of options.h), one usage text made of the same option lines, the
// key script checked before anything runs, and temporary files removed when
// a signal ends the run.
#pragma once

#include <string>

#include "drive/key_script.h"
#include "tools/zqsim/options.h"

namespace zqsim {

// The parts of a front end's usage text that are its own; the option lines
// all three share come between them.
struct UsageParts {
  const char* program;     // "zqbox"
  const char* about;       // what PATH is played with, after "Plays PATH (...) "
  const char* run;         // the lines of --headless, --script and --until-end
  const char* image_kind;  // the last line of --image: what else NAME may be
  const char* images;      // the line of --images
  const char* window;      // the lines of --scale and --key-map
  const char* after;       // the text after the options
  const char* also = "";   // more usage lines, after the first
};
std::string Usage(const UsageParts& parts);

// Reads the command line: the usage on stdout for --help, a mistake in one
// line on stderr, then the key script (when one is given) read and checked
// into `script`. Returns -1 when the run is to go ahead, else the exit
// status (0 after --help, 2 for a mistake).
int ReadCommandLine(int argc, char** argv, const UsageParts& usage, Options* options, drive::Script* script);

// From now until StopCleaningUp, SIGINT, SIGTERM and SIGHUP (and SIGPIPE
// with `pipe`: a trace piped into a pager that quits) call `clean(context)`
// to remove the run's temporary files, and then end the program by the same
// signal.
void CleanUpOnSignals(void (*clean)(void* context), void* context, bool pipe);
void StopCleaningUp();

}  // namespace zqsim
