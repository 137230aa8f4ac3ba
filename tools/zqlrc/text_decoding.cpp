// SPDX-License-Identifier: MIT
// The host's decoders: the C library's iconv.
#include "text_decoding.h"

#include <errno.h>
#include <iconv.h>

namespace zqlrc {

namespace {

// Decodes `size` bytes with iconv. On a failure *text holds what was decoded
// before the first byte that does not read; false then.
bool Decode(iconv_t cd, const uint8_t* bytes, size_t size, std::u32string* text) {
  text->clear();
  char* in = (char*)bytes;
  size_t in_left = size;
  char chunk[4096];
  bool good = true;
  // Two rounds at most past the input: the input itself, then the flush of
  // a shift state.
  for (bool flushing = false;; flushing = true) {
    size_t rc = 0;
    do {
      char* out = chunk;
      size_t out_left = sizeof chunk;
      rc = flushing ? iconv(cd, nullptr, nullptr, &out, &out_left) : iconv(cd, &in, &in_left, &out, &out_left);
      size_t made = (size_t)(out - chunk);
      for (size_t k = 0; k + 4 <= made; k += 4) {
        const uint8_t* u = (const uint8_t*)chunk + k;
        text->push_back((char32_t)u[0] | (char32_t)u[1] << 8 | (char32_t)u[2] << 16 | (char32_t)u[3] << 24);
      }
    } while (rc == (size_t)-1 && errno == E2BIG);
    if (rc == (size_t)-1) {
      good = false;  // EILSEQ: a bad sequence; EINVAL: one cut off by the end
      break;
    }
    if (flushing) break;
  }
  return good;
}

}  // namespace

bool DecodeBytes(const char* encoding, const uint8_t* bytes, size_t size, std::u32string* text, bool* known) {
  text->clear();
  iconv_t cd = iconv_open("UTF-32LE", encoding);
  *known = cd != (iconv_t)-1;
  if (!*known) return false;
  bool good = Decode(cd, bytes, size, text);
  iconv_close(cd);
  return good;
}

bool KnowsEncoding(const char* encoding) {
  iconv_t cd = iconv_open("UTF-32LE", encoding);
  if (cd == (iconv_t)-1) return false;
  iconv_close(cd);
  return true;
}

bool Gb2312Pair(char32_t c, uint8_t pair[2]) {
  // One converter for the process: zqlrc encodes a whole text character by
  // character, and opening one per character would cost more than the rest.
  static iconv_t cd = iconv_open("GB2312", "UTF-32LE");
  if (cd == (iconv_t)-1) return false;
  uint8_t in[4] = {(uint8_t)c, (uint8_t)(c >> 8), (uint8_t)(c >> 16), (uint8_t)(c >> 24)};
  char out[4];
  char* in_ptr = (char*)in;
  char* out_ptr = out;
  size_t in_left = sizeof in, out_left = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == (size_t)-1) return false;
  if (out_ptr - out != 2 || (uint8_t)out[0] < 0xA1 || (uint8_t)out[1] < 0xA1) return false;
  pair[0] = (uint8_t)out[0];
  pair[1] = (uint8_t)out[1];
  return true;
}

}  // namespace zqlrc
