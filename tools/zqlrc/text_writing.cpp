// SPDX-License-Identifier: MIT
#include "text_writing.h"

#include "lyrics/encoding.h"
#include "sim/utf8.h"
#include "text_decoding.h"

namespace zqlrc {

namespace {

void PutUtf8(std::vector<uint8_t>* out, char32_t c) {
  char bytes[sim::kUtf8MaxBytes];
  const size_t n = sim::EncodeUtf8(c, bytes);
  out->insert(out->end(), bytes, bytes + n);
}

void PutUnit(std::vector<uint8_t>* out, uint16_t unit, bool little) {
  uint8_t low = (uint8_t)(unit & 0xFF), high = (uint8_t)(unit >> 8);
  out->push_back(little ? low : high);
  out->push_back(little ? high : low);
}

void PutUtf16(std::vector<uint8_t>* out, char32_t c, bool little) {
  if (c < 0x10000) {
    PutUnit(out, (uint16_t)c, little);
    return;
  }
  c -= 0x10000;
  PutUnit(out, (uint16_t)(0xD800 + (c >> 10)), little);
  PutUnit(out, (uint16_t)(0xDC00 + (c & 0x3FF)), little);
}

Encoded EncodeGb2312(const std::u32string& text) {
  Encoded result;
  for (size_t k = 0; k < text.size(); ++k) {
    char32_t c = text[k];
    uint8_t pair[2];
    bool fits = c < 0x80 ? (c >= 0x20 || c == U'\r' || c == U'\n') : Gb2312Pair(c, pair);
    if (!fits) {
      result.bad_char = c;
      result.bad_index = k;
      result.bytes.clear();
      return result;
    }
    if (c < 0x80) {
      result.bytes.push_back((uint8_t)c);
    } else {
      result.bytes.insert(result.bytes.end(), pair, pair + 2);
    }
  }
  result.ok = true;
  return result;
}

}  // namespace

bool ParseTarget(const std::string& name, Target* out) {
  const struct {
    const char* name;
    Target target;
  } names[] = {{"utf8", Target::kUtf8},
               {"utf16le", Target::kUtf16Le},
               {"utf16be", Target::kUtf16Be},
               {"gb2312", Target::kGb2312}};
  for (const auto& n : names) {
    if (name != n.name) continue;
    *out = n.target;
    return true;
  }
  return false;
}

const char* TargetName(Target target) {
  switch (target) {
    case Target::kUtf8:
      return "UTF-8 with mark";
    case Target::kUtf16Le:
      return "UTF-16LE with mark";
    case Target::kUtf16Be:
      return "UTF-16BE with mark";
    case Target::kGb2312:
      break;
  }
  return "GB2312";
}

uint8_t TargetCode(Target target) {
  switch (target) {
    case Target::kUtf8:
      return kCodeUtf8;
    case Target::kUtf16Le:
      return kCodeUtf16Le;
    case Target::kUtf16Be:
      return kCodeUtf16Be;
    case Target::kGb2312:
      break;
  }
  return kCodeGB2312;
}

Encoded Encode(const std::u32string& text, Target target) {
  if (target == Target::kGb2312) return EncodeGb2312(text);
  Encoded result;
  result.ok = true;
  std::vector<uint8_t>& out = result.bytes;
  if (target == Target::kUtf8) {
    out = {0xEF, 0xBB, 0xBF};
    for (char32_t c : text) PutUtf8(&out, c);
    return result;
  }
  bool little = target == Target::kUtf16Le;
  PutUnit(&out, 0xFEFF, little);
  for (char32_t c : text) PutUtf16(&out, c, little);
  return result;
}

}  // namespace zqlrc
