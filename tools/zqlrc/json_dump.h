// SPDX-License-Identifier: MIT
// The exact JSON form of a load: status, encoding and, on success, the whole
// record. Every 16-bit unit is one JSON character, so unpaired surrogates and
// control units come out exactly.
#pragma once

#include <string>

#include "phone_run.h"

namespace zqlrc {

std::string JsonText(const char16_t* units, size_t count);
std::string DumpJson(const LoadOutcome& outcome);

}  // namespace zqlrc
