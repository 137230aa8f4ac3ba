// SPDX-License-Identifier: MIT
// What zqsim makes sure of before it hands a file to the stand-in as the
// player image: that it is one, said in one line when it is not.
#pragma once

#include <string>

namespace zqsim {

// Why `path` cannot be a player image for this machine, or "" when it can:
// a shared object of the machine zqsim runs on that exports the entry Lib
// and imports nothing this process cannot give it.
std::string ImageProblem(const std::string& path);

}  // namespace zqsim
