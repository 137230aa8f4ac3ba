// SPDX-License-Identifier: MIT
// The guess is ICU's charset detector: statistics of the byte sequences of
// the CJK multi-byte encodings and of the single-byte Western ones.
#include "encoding_guess.h"

#include <string.h>
#include <unicode/ucsdet.h>

namespace zqlrc {

std::vector<EncodingGuess> GuessEncodings(const uint8_t* bytes, size_t size) {
  std::vector<EncodingGuess> guesses;
  UErrorCode error = U_ZERO_ERROR;
  UCharsetDetector* detector = ucsdet_open(&error);
  if (U_FAILURE(error)) return guesses;
  // The detector takes a 32-bit length; a lyrics file the phone reads is far
  // shorter, and the first megabyte tells as much as the rest.
  int32_t length = (int32_t)(size < (1u << 20) ? size : (1u << 20));
  ucsdet_setText(detector, (const char*)bytes, length, &error);
  int32_t count = 0;
  const UCharsetMatch** matches = U_SUCCESS(error) ? ucsdet_detectAll(detector, &count, &error) : nullptr;
  for (int32_t k = 0; U_SUCCESS(error) && matches != nullptr && k < count; ++k) {
    const char* name = ucsdet_getName(matches[k], &error);
    int32_t confidence = ucsdet_getConfidence(matches[k], &error);
    if (U_FAILURE(error) || name == nullptr) break;
    if (strncmp(name, "UTF-16", 6) == 0 || strncmp(name, "UTF-32", 6) == 0) continue;
    guesses.push_back({name, (int)confidence});
  }
  ucsdet_close(detector);
  return guesses;
}

}  // namespace zqlrc
