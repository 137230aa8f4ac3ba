// SPDX-License-Identifier: MIT
// What a lyrics file means and what the phone makes of it, side by side:
// the author's text (read by zqlrc's rules), the mends fix would make, and
// whether the phone's own conversion gives exactly the author's text.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "lyrics_mends.h"
#include "text_reading.h"

namespace zqlrc {

struct Diagnosis {
  Reading reading;          // the author's text
  Mends mends;              // what fix would change in it
  bool as_written = false;  // the phone's text is the author's text
  // Where they first differ (when the reading is good and they do): the
  // line, and the author's character there (0 when the phone's text runs on).
  uint32_t differ_line = 0;
  char32_t differ_char = 0;
};

// `phone_units` is the phone's conversion of `bytes` (U+FEFF first, or
// empty when it converts nothing). `from` as for ReadText. False only for a
// `from` the C library does not know.
bool Diagnose(const std::vector<uint8_t>& bytes, const std::u16string& phone_units, const std::string& from,
              Diagnosis* out, const MendOptions& options = MendOptions());

// U+4E2D "中" for a person.
std::string CharName(char32_t c);

}  // namespace zqlrc
