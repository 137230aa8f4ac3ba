#include "check_report.h"

#include <stdio.h>

#include <vector>

#include "lint.h"

namespace zqlrc {

namespace {

constexpr size_t kMaxFileBytes = 65534;
constexpr size_t kShownPastEnd = 3;

const char* EncodingName(int code) {
  switch (code) {
    case 0:
      return "no text (the file starts with two zero bytes)";
    case 1:
      return "GB2312 (no byte-order mark)";
    case 2:
      return "UTF-16 little-endian";
    case 3:
      return "UTF-16 big-endian";
    case 4:
      return "UTF-8 with byte-order mark";
    default:
      return "not examined";
  }
}

const char* StatusName(uint8_t status) {
  switch (status) {
    case 0:
      return "lyrics loaded";
    case 1:
      return "memory allocation failed";
    case 2:
      return "file error";
    case 3:
      return "no text";
    case 4:
      return "no lyrics file";
    case 5:
      return "encrypted lyrics file";
    default:
      return "unknown";
  }
}

// What the lyrics area shows for a status other than 0.
const char* Message(uint8_t status) {
  switch (status) {
    case 1:
      return "lrc内存分配错误";
    case 4:
      return "lrc文件不存在";
    case 5:
      return "lrc文件被加密";
    default:
      return "lrc文件错误";
  }
}

void AppendUtf8(std::string* out, uint32_t c) {
  if (c < 0x80) {
    *out += (char)c;
  } else if (c < 0x800) {
    *out += (char)(0xC0 | (c >> 6));
    *out += (char)(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += (char)(0xE0 | (c >> 12));
    *out += (char)(0x80 | ((c >> 6) & 0x3F));
    *out += (char)(0x80 | (c & 0x3F));
  } else {
    *out += (char)(0xF0 | (c >> 18));
    *out += (char)(0x80 | ((c >> 12) & 0x3F));
    *out += (char)(0x80 | ((c >> 6) & 0x3F));
    *out += (char)(0x80 | (c & 0x3F));
  }
}

// Text for a terminal: pairs joined, lone surrogates and controls made visible.
std::string Readable(const char16_t* units, size_t count) {
  std::string out;
  for (size_t k = 0; k < count; ++k) {
    uint32_t c = units[k];
    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < count && units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF) {
      AppendUtf8(&out, 0x10000 + ((c - 0xD800) << 10) + (units[k + 1] - 0xDC00));
      ++k;
    } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04x", (unsigned)c);
      out += escape;
    } else {
      AppendUtf8(&out, c);
    }
  }
  return out;
}

std::string Readable(const WCHAR* text) {
  size_t count = 0;
  while (text[count] != 0) ++count;
  return Readable(text, count);
}

// True when the bytes are well-formed UTF-8 with at least one character
// beyond ASCII: a UTF-8 file that has lost its mark.
bool LooksLikeUtf8(const std::vector<uint8_t>& bytes) {
  bool wide = false;
  size_t k = 0;
  while (k < bytes.size()) {
    uint8_t b = bytes[k];
    size_t follow = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      follow = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      follow = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      follow = 3;
    } else if (b >= 0x80) {
      return false;
    }
    if (k + follow >= bytes.size() && follow > 0) return false;
    for (size_t f = 1; f <= follow; ++f) {
      if ((bytes[k + f] & 0xC0) != 0x80) return false;
    }
    wide = wide || follow > 0;
    k += follow + 1;
  }
  return wide;
}

std::string Clock(uint32_t ms) {
  char text[32];
  snprintf(text, sizeof text, "%02u:%02u.%03u", ms / 60000, (ms / 1000) % 60, ms % 1000);
  return text;
}

}  // namespace

bool CheckReport(const std::string& name, const LoadOutcome& outcome, const std::u16string& units,
                 const CheckOptions& options, std::string* out) {
  const LRC* lrc = outcome.status == 0 ? outcome.lrc : nullptr;
  std::vector<std::string> problems;
  std::string& o = *out;
  o += name + "\n";
  o += "  encoding:    ";
  o += outcome.encoding < 0 ? std::string("not examined")
                            : std::to_string(outcome.encoding) + " " + EncodingName(outcome.encoding);
  o += "\n  status:      " + std::to_string(outcome.status) + " " + StatusName(outcome.status) + "\n";
  o += "  phone shows: ";
  o += lrc != nullptr ? (lrc->line_count > 0 ? "the lyrics" : "the tags only (no timed lines)")
                      : std::string("\"") + Message(outcome.status) + "\"";
  o += "\n";

  const std::vector<uint8_t>& bytes = outcome.bytes;
  if (bytes.empty()) problems.push_back("the file is empty");
  if (bytes.size() > kMaxFileBytes) {
    problems.push_back("the file has " + std::to_string(bytes.size()) + " bytes: the phone reads at most " +
                       std::to_string(kMaxFileBytes));
  }
  if (outcome.encoding == 0) problems.push_back("the file starts with two zero bytes: the phone finds no text in it");
  if (outcome.encoding == 1 && LooksLikeUtf8(bytes)) {
    problems.push_back(
        "the file is UTF-8 without its byte-order mark: the phone reads it as GB2312 and shows "
        "garbled text; save it as UTF-8 with a byte-order mark (EF BB BF)");
  }
  if (outcome.encoding == 1 && outcome.status == 2 && units.empty()) {
    problems.push_back("the GB2312 table could not be read: the phone cannot convert GB2312 files");
  }

  LintReport lint = Lint(units);
  if (lint.limit_line != 0) {
    problems.push_back("line " + std::to_string(lint.limit_line) + ": the phone stops reading here (at most 100 " +
                       "lines and 200 time entries); it drops " + std::to_string(lint.lines_total - lint.lines_kept) +
                       " timed lines and " + std::to_string(lint.times_total - lint.times_kept) + " time tags");
  } else if (lint.times_total > lint.times_kept) {
    problems.push_back("the phone drops " + std::to_string(lint.times_total - lint.times_kept) +
                       " time tags past the 200th");
  }
  for (const Finding& f : lint.findings) problems.push_back("line " + std::to_string(f.line) + ": " + f.text);

  if (lrc != nullptr) {
    o += "  lines:       " + std::to_string(lrc->line_count) + "\n";
    o += "  time entries: " + std::to_string(lrc->time_count) + "\n";
    o += "  title:       " + Readable(lrc->ti) + "\n";
    o += "  artist:      " + Readable(lrc->ar) + "\n";
    o += "  album:       " + Readable(lrc->al) + "\n";
    o += "  by:          " + Readable(lrc->by) + "\n";
    o += "  offset:      " + std::to_string(lrc->offset) + " ms\n";
    if (options.length_seconds >= 0) {
      uint64_t end_ms = (uint64_t)options.length_seconds * 1000;
      std::vector<std::string> past;
      for (uint32_t k = 0; k < lrc->time_count; ++k) {
        if (lrc->times[k].time <= end_ms) continue;
        const LRC_LINE& line = lrc->lines[lrc->times[k].line];
        past.push_back(Clock(lrc->times[k].time) + " \"" + Readable(line.text, line.len) + "\"");
      }
      if (!past.empty()) {
        std::string text = std::to_string(past.size()) + " time entries point past the end of the track (" +
                           std::to_string(options.length_seconds) + " s):";
        for (size_t k = 0; k < past.size() && k < kShownPastEnd; ++k) text += " " + past[k];
        if (past.size() > kShownPastEnd) text += " ...";
        problems.push_back(text);
      }
    }
  }
  if (problems.empty()) {
    o += "  problems:    none\n";
  } else {
    o += "  problems:\n";
    for (const std::string& p : problems) o += "    - " + p + "\n";
  }
  return lrc != nullptr && lrc->line_count > 0;
}

}  // namespace zqlrc
