// SPDX-License-Identifier: MIT
// How zqlrc reads the text of a lyrics file as its author meant it: a
// byte-order mark decides; without one, text that is valid UTF-8 is UTF-8,
// text that is GB2312 is GB2312 (the reading of the phone's own table: a file
// the phone reads is never converted on a guess), and anything else is read
// in the encoding a charset detector names, when it names one clearly
// (GB18030, Big5, Shift_JIS, EUC-KR, ISO-8859-1, ...). A named encoding
// overrides all of these. The phone itself knows only the marks and GB2312.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

enum class Source : uint8_t { kUtf8Mark, kUtf16LeMark, kUtf16BeMark, kUtf8, kGb2312, kGuessed, kNamed };

struct Reading {
  bool ok = false;
  Source source = Source::kNamed;
  std::string encoding;   // for a person: "UTF-8 without mark", "GB18030", the named one
  std::u32string text;    // the characters, without the mark
  uint32_t bad_line = 0;  // when not ok: the first line that does not read
  // Without a mark and not UTF-8 or GB2312: the detector's readings when none
  // is clear ("Big5 (40), Shift_JIS (31)"), for a refusal that names them.
  std::string unsure;
  // A GB2312 file that the detector clearly takes for another encoding
  // ("EUC-KR"): it stays GB2312, and the person is told.
  std::string lookalike;
};

// Reads `bytes` by the rules above, or as `from` when it is not empty (an
// iconv name, or utf8, utf16le, utf16be, gb2312). A text holding a zero
// character is not read (it is most likely UTF-16 without its mark). False
// only when `from` names an encoding the C library does not know.
bool ReadText(const std::vector<uint8_t>& bytes, const std::string& from, Reading* out);

// True when text[k] ends a line: an LF, or a CR not followed by an LF.
bool EndsLine(const std::u32string& text, size_t k);

// The 1-based line of `text[index]`, counted as an editor counts: CR LF, LF
// and a lone CR each end a line.
uint32_t LineAt(const std::u32string& text, size_t index);

// The encoding names zqlrc takes, as the C library knows them.
std::string IconvName(const std::string& name);

}  // namespace zqlrc
