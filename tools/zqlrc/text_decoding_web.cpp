// SPDX-License-Identifier: MIT
// The page's decoders: the browser's own (TextDecoder, which knows GB18030,
// Big5, Shift_JIS, EUC-KR, windows-1252, ...), and two that it names
// differently from the C library's: GB2312, which a browser takes for its
// superset GBK, is the phone's own table (made from the C library's GB2312
// decoder), and ISO-8859-1, which a browser takes for windows-1252, is each
// byte as its character.
#include <emscripten.h>
#include <stdio.h>
#include <strings.h>

#include <vector>

#include "text_decoding.h"

// Decodes `size` bytes at `bytes` with the browser's decoder `label` into at
// most `room` characters at `out`; the count, with *state 0 when all of it
// reads, 1 when it stops at a byte that does not, 2 when the browser has no
// such decoder (or only the one that refuses everything). JavaScript inside:
// clang-format off
EM_JS(size_t, zq_js_decode, (const char* label, const uint8_t* bytes, size_t size, char32_t* out, size_t room,
                             int* state), {
  var name = UTF8ToString(label);
  var make = function() { return new TextDecoder(name, {fatal: true, ignoreBOM: true}); };
  var decoder;
  try {
    decoder = make();
  } catch (e) {
    HEAP32[state >> 2] = 2;
    return 0;
  }
  if (decoder.encoding === "replacement") {
    HEAP32[state >> 2] = 2;
    return 0;
  }
  var input = HEAPU8.slice(bytes, bytes + size);
  var text = "";
  var good = 1;
  try {
    text = decoder.decode(input);
  } catch (e) {
    // What reads before the first byte that does not: byte by byte, as a
    // stream, until the decoder stops.
    good = 0;
    var stream = make();
    var parts = [];
    for (var i = 0; i < size; ++i) {
      try {
        parts.push(stream.decode(input.subarray(i, i + 1), {stream: true}));
      } catch (e2) {
        break;
      }
    }
    text = parts.join("");
  }
  var count = 0;
  for (var k = 0; k < text.length && count < room; ++k) {
    var c = text.codePointAt(k);
    if (c > 0xFFFF) ++k;
    HEAPU32[(out >> 2) + count++] = c;
  }
  HEAP32[state >> 2] = good ? 0 : 1;
  return count;
});
// clang-format on

namespace zqlrc {

namespace {

constexpr int kRows = 81;
constexpr int kCells = 94;
constexpr size_t kTableBytes = kRows * kCells * 2;

// The phone's GB2312 table (gb2uc.map: rows of lead bytes A1-A9 and B0-F7,
// cells of trail bytes A1-FE, two bytes each, low first; 0 for no character).
const std::vector<uint16_t>& Table() {
  static std::vector<uint16_t> table;
  if (!table.empty()) return table;
  std::vector<uint8_t> bytes(kTableBytes);
  FILE* f = fopen(ZQLRC_DEFAULT_TABLE, "rb");
  size_t got = f ? fread(bytes.data(), 1, bytes.size(), f) : 0;
  if (f) fclose(f);
  table.assign(kRows * kCells, 0);
  for (size_t k = 0; k + 1 < got; k += 2) table[k / 2] = (uint16_t)(bytes[k] | bytes[k + 1] << 8);
  return table;
}

int RowOfLead(uint8_t lead) {
  if (lead >= 0xA1 && lead <= 0xA9) return lead - 0xA1;
  if (lead >= 0xB0 && lead <= 0xF7) return 9 + (lead - 0xB0);
  return -1;
}

bool DecodeGb2312(const uint8_t* bytes, size_t size, std::u32string* text) {
  const std::vector<uint16_t>& table = Table();
  for (size_t k = 0; k < size; ++k) {
    if (bytes[k] < 0x80) {
      text->push_back(bytes[k]);
      continue;
    }
    int row = RowOfLead(bytes[k]);
    if (row < 0 || k + 1 >= size || bytes[k + 1] < 0xA1 || bytes[k + 1] > 0xFE) return false;
    uint16_t unit = table[row * kCells + (bytes[k + 1] - 0xA1)];
    if (unit == 0) return false;
    text->push_back(unit);
    ++k;
  }
  return true;
}

bool Is(const char* encoding, const char* name) {
  return strcasecmp(encoding, name) == 0;
}

bool IsGb2312(const char* encoding) {
  return Is(encoding, "GB2312") || Is(encoding, "EUC-CN");
}

bool IsLatin1(const char* encoding) {
  return Is(encoding, "ISO-8859-1") || Is(encoding, "ISO8859-1") || Is(encoding, "LATIN1") ||
         Is(encoding, "ISO_8859-1");
}

}  // namespace

bool DecodeBytes(const char* encoding, const uint8_t* bytes, size_t size, std::u32string* text, bool* known) {
  text->clear();
  *known = true;
  if (IsGb2312(encoding)) return DecodeGb2312(bytes, size, text);
  if (IsLatin1(encoding)) {
    text->assign(bytes, bytes + size);
    return true;
  }
  // A browser's decoders make at most two characters of one byte.
  text->resize(2 * size + 1);
  int state = 0;
  size_t count = zq_js_decode(encoding, bytes, size, text->data(), text->size(), &state);
  text->resize(count);
  *known = state != 2;
  return state == 0;
}

bool KnowsEncoding(const char* encoding) {
  std::u32string text;
  bool known = true;
  DecodeBytes(encoding, nullptr, 0, &text, &known);
  return known;
}

bool Gb2312Pair(char32_t c, uint8_t pair[2]) {
  // The table's reverse, made once.
  static std::vector<uint16_t> codes;  // by character: lead << 8 | trail
  if (codes.empty()) {
    codes.assign(0x10000, 0);
    const std::vector<uint16_t>& table = Table();
    for (int row = 0; row < kRows; ++row) {
      for (int cell = 0; cell < kCells; ++cell) {
        uint16_t unit = table[row * kCells + cell];
        int lead = row < 9 ? 0xA1 + row : 0xB0 + (row - 9);
        if (unit != 0 && codes[unit] == 0) codes[unit] = (uint16_t)(lead << 8 | (0xA1 + cell));
      }
    }
  }
  if (c >= 0x10000 || codes[c] == 0) return false;
  pair[0] = (uint8_t)(codes[c] >> 8);
  pair[1] = (uint8_t)codes[c];
  return true;
}

}  // namespace zqlrc
