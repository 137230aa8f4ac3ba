// SPDX-License-Identifier: MIT
// Starts the box program under qemu-armeb, the phone's class of processor
// (ARMv5TE, "-cpu arm926", so that no newer instruction slips in), and waits
// for it; its standard output and errors are the launcher's.
#pragma once

#include <string>
#include <vector>

namespace zqbox {

// qemu-armeb on the PATH, or "" when it is not installed.
std::string FindQemu();

// The command line that runs `box_program` with `args` in the box.
std::vector<std::string> BoxCommand(const std::string& qemu, const std::string& box_program,
                                    const std::vector<std::string>& args);

// Runs the command and returns its exit status. A SIGINT, SIGTERM or SIGHUP
// that reaches the launcher meanwhile is passed on to it, so that the
// launcher lives to clean up. When the box ends on a signal, *signal_out
// receives it (else 0) and the status is 1.
int RunBox(const std::vector<std::string>& command, int* signal_out, std::string* error);

}  // namespace zqbox
