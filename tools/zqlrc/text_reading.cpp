// SPDX-License-Identifier: MIT
#include "text_reading.h"

#include "encoding_guess.h"
#include "text_decoding.h"

namespace zqlrc {

namespace {

// A guess is taken when its confidence is at least this, and every other
// reading's at least kClearMargin below it.
constexpr int kClearConfidence = 50;
constexpr int kClearMargin = 15;
constexpr size_t kNamedCandidates = 3;
// Fewer characters beyond ASCII than this tell too little to guess from.
constexpr size_t kLeastEvidence = 3;

bool IsCjkEncoding(const std::string& name) {
  return name == "Big5" || name == "EUC-KR" || name == "EUC-JP" || name == "Shift_JIS";
}

// Decodes with the named encoding; a zero character ends the text as a bad
// byte does. False with *text cut where the reading stops.
bool DecodeAs(const char* encoding, const uint8_t* bytes, size_t size, std::u32string* text, bool* known) {
  bool good = DecodeBytes(encoding, bytes, size, text, known);
  if (!*known) return false;
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

// One reading the detector offers: its name, confidence and the text.
struct Candidate {
  std::string name;
  int confidence;
  std::u32string text;
};

// The detector's candidates that read the whole file, best first; candidates
// that read it to the same text are one (ISO-8859-1 and ISO-8859-15 of a
// Swedish text), under the most confident name.
std::vector<Candidate> Candidates(const std::vector<uint8_t>& bytes) {
  std::vector<Candidate> out;
  for (const EncodingGuess& g : GuessEncodings(bytes.data(), bytes.size())) {
    Candidate c{g.name, g.confidence, {}};
    bool known = true;
    if (!DecodeAs(g.name.c_str(), bytes.data(), bytes.size(), &c.text, &known)) continue;
    bool same = false;
    for (const Candidate& o : out) same = same || o.text == c.text;
    if (!same) out.push_back(std::move(c));
  }
  return out;
}

// The best candidate is clear when it is confident and no other reading
// comes near it.
bool Clear(const std::vector<Candidate>& candidates) {
  if (candidates.empty() || candidates[0].confidence < kClearConfidence) return false;
  size_t high = 0;  // bytes of 0x80 and above: the evidence
  for (char32_t c : candidates[0].text) high += c >= 0x80;
  if (high < kLeastEvidence) return false;
  return candidates.size() < 2 || candidates[1].confidence + kClearMargin <= candidates[0].confidence;
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
  std::vector<Candidate> candidates = Candidates(bytes);
  if (out->ok) {
    // Only the multi-byte encodings whose text is also GB2312 bytes are
    // named; any pairs of high bytes read as some single-byte encoding.
    if (Clear(candidates) && candidates[0].text != out->text && IsCjkEncoding(candidates[0].name)) {
      out->lookalike = candidates[0].name;
    }
    return true;
  }
  if (Clear(candidates)) {
    out->source = Source::kGuessed;
    out->encoding = candidates[0].name;
    out->text = candidates[0].text;
    out->ok = true;
    return true;
  }
  // Nothing clear: the refusal names what the detector saw, and the bad line
  // is where the reading that went furthest stops.
  Reading gb18030 = *out;
  ReadAs("GB18030", bytes, 0, &gb18030);
  *out = utf8.bad_line > gb18030.bad_line ? utf8 : gb18030;
  if (gb18030.ok) *out = gb18030;
  out->ok = false;
  for (size_t k = 0; k < candidates.size() && k < kNamedCandidates; ++k) {  // none: the bad line tells
    out->unsure += (k == 0 ? "" : ", ") + candidates[k].name + " (" + std::to_string(candidates[k].confidence) + ")";
  }
  return true;
}

}  // namespace zqlrc
