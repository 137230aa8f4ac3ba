// SPDX-License-Identifier: MIT
#include "text_reading.h"

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

// Decodes with the named encoding; a zero character ends the text as a bad
// byte does. False with *text cut where the reading stops.
bool DecodeAs(const char* encoding, const uint8_t* bytes, size_t size, std::u32string* text, bool* known) {
  iconv_t cd = iconv_open("UTF-32LE", encoding);
  *known = cd != (iconv_t)-1;
  if (!*known) return false;
  bool good = Decode(cd, bytes, size, text);
  iconv_close(cd);
  size_t zero = text->find(U'\0');
  if (zero != std::u32string::npos) {
    text->resize(zero);
    return false;
  }
  return good;
}

bool StartsWith(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> mark) {
  if (bytes.size() < mark.size()) return false;
  size_t k = 0;
  for (uint8_t b : mark)
    if (bytes[k++] != b) return false;
  return true;
}

// One reading of the whole file (or what follows its mark).
bool ReadAs(const char* encoding, const std::vector<uint8_t>& bytes, size_t skip, Reading* out) {
  bool known = true;
  out->ok = DecodeAs(encoding, bytes.data() + skip, bytes.size() - skip, &out->text, &known);
  if (!out->ok) out->bad_line = LineAt(out->text, out->text.size());
  return known;
}

}  // namespace

std::string IconvName(const std::string& name) {
  if (name == "utf8") return "UTF-8";
  if (name == "utf16le") return "UTF-16LE";
  if (name == "utf16be") return "UTF-16BE";
  if (name == "gb2312") return "GB2312";
  return name;
}

bool EndsLine(const std::u32string& text, size_t k) {
  return text[k] == U'\n' || (text[k] == U'\r' && (k + 1 >= text.size() || text[k + 1] != U'\n'));
}

uint32_t LineAt(const std::u32string& text, size_t index) {
  uint32_t line = 1;
  for (size_t k = 0; k < index && k < text.size(); ++k)
    if (EndsLine(text, k)) ++line;
  return line;
}

bool ReadText(const std::vector<uint8_t>& bytes, const std::string& from, Reading* out) {
  *out = Reading();
  if (!from.empty()) {
    out->source = Source::kNamed;
    out->encoding = from;
    if (!ReadAs(IconvName(from).c_str(), bytes, 0, out)) return false;
    // A named Unicode encoding keeps a mark as a character: it is no text.
    if (!out->text.empty() && out->text[0] == 0xFEFF) out->text.erase(0, 1);
    return true;
  }
  struct Mark {
    std::initializer_list<uint8_t> bytes;
    const char* encoding;
    Source source;
    const char* name;
  };
  // The phone's own order of tests.
  const Mark marks[] = {{{0xFF, 0xFE}, "UTF-16LE", Source::kUtf16LeMark, "UTF-16LE with mark"},
                        {{0xFE, 0xFF}, "UTF-16BE", Source::kUtf16BeMark, "UTF-16BE with mark"},
                        {{0xEF, 0xBB, 0xBF}, "UTF-8", Source::kUtf8Mark, "UTF-8 with mark"}};
  for (const Mark& m : marks) {
    if (!StartsWith(bytes, m.bytes)) continue;
    out->source = m.source;
    out->encoding = m.name;
    return ReadAs(m.encoding, bytes, m.bytes.size(), out);
  }
  Reading utf8 = *out;
  utf8.source = Source::kUtf8;
  utf8.encoding = "UTF-8 without mark";
  ReadAs("UTF-8", bytes, 0, &utf8);
  if (utf8.ok) {
    *out = utf8;
    return true;
  }
  out->source = Source::kGb2312;
  out->encoding = "GB2312";
  ReadAs("GB2312", bytes, 0, out);
  if (out->ok) return true;
  out->source = Source::kGb18030;
  out->encoding = "GB18030";
  ReadAs("GB18030", bytes, 0, out);
  // When neither reads, the one that went further names the bad line: a
  // UTF-8 file with one stray byte is named at that byte.
  if (!out->ok && utf8.bad_line > out->bad_line) *out = utf8;
  return true;
}

}  // namespace zqlrc
