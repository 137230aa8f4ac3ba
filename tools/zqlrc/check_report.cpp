// SPDX-License-Identifier: MIT
#include "check_report.h"

#include <stdio.h>

#include <vector>

#include "app/player_state.h"
#include "readable_text.h"
#include "verdict.h"

namespace zqlrc {

namespace {

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

std::string Readable(const WCHAR* text) {
  size_t count = 0;
  while (text[count] != 0) ++count;
  return zqlrc::Readable(text, count);
}

std::string Clock(uint32_t ms) {
  char text[32];
  snprintf(text, sizeof text, "%02u:%02u.%03u", ms / 60000, (ms / 1000) % 60, ms % 1000);
  return text;
}

// "+500: lines 0.5 s earlier": the lyrics view adds the offset to the
// playing position, so a positive one brings every line sooner.
std::string Offset(int16_t ms) {
  if (ms == 0) return "0";
  unsigned size = (unsigned)(ms < 0 ? -ms : ms);
  char seconds[16];
  snprintf(seconds, sizeof seconds, "%u.%03u", size / 1000, size % 1000);
  std::string s = seconds;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  // Appended piece by piece: gcc 12 takes a text put before a temporary
  // string for an overlapping copy and warns.
  std::string out = ms > 0 ? "+" : "";
  out += std::to_string(ms);
  out += ": lines ";
  out += s;
  out += ms > 0 ? " s earlier" : " s later";
  return out;
}

std::string PhoneShows(const LRC* lrc, uint8_t status, const Verdict& v) {
  if (lrc == nullptr) return std::string("\"") + PhoneMessage(status) + "\"";
  if (lrc->line_count == 0) return "the tags only (no timed lines)";
  return v.as_written ? "the lyrics" : "the lyrics, but not as written (see the problems)";
}

}  // namespace

bool CheckReport(const std::string& name, const LoadOutcome& outcome, const std::u16string& units,
                 const Diagnosis& diagnosis, const FixPlan& plan, const CheckOptions& options, std::string* out) {
  const LRC* lrc = outcome.status == kLrcLoaded ? outcome.lrc : nullptr;
  Verdict verdict = Judge(outcome, units, diagnosis);
  std::vector<Problem>& problems = verdict.problems;
  std::string& o = *out;
  o += name + "\n";
  o += "  encoding:    ";
  o += outcome.encoding < 0 ? std::string("not examined")
                            : std::to_string(outcome.encoding) + " " + EncodingName(outcome.encoding);
  o += "\n  status:      " + std::to_string(outcome.status) + " " + StatusName(outcome.status) + "\n";
  o += "  phone shows: " + PhoneShows(lrc, outcome.status, verdict) + "\n";

  if (lrc != nullptr) {
    o += "  lines:       " + std::to_string(lrc->line_count) + "\n";
    o += "  time entries: " + std::to_string(lrc->time_count) + "\n";
    o += "  title:       " + Readable(lrc->ti) + "\n";
    o += "  artist:      " + Readable(lrc->ar) + "\n";
    o += "  album:       " + Readable(lrc->al) + "\n";
    o += "  by:          " + Readable(lrc->by) + "\n";
    o += "  offset:      " + Offset(lrc->offset) + "\n";
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
        problems.push_back({text, false});
      }
    }
  }
  if (problems.empty()) {
    o += "  problems:    none\n";
  } else {
    o += "  problems:\n";
    // Marked as fix decides for this very file: what it mends when it
    // writes the file, and why it cannot when it refuses.
    std::string cannot = " (zqlrc fix cannot: " + plan.what + ")";
    for (const Problem& p : problems) {
      o += "    - " + p.text;
      if (p.fix_mends) o += plan.action == FixAction::kWrite ? " (zqlrc fix mends this)" : cannot;
      o += "\n";
    }
  }
  return verdict.as_written;
}

}  // namespace zqlrc
