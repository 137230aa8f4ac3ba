// SPDX-License-Identifier: MIT
#include "json_dump.h"

#include <stdio.h>

#include "app/player_state.h"

namespace zqlrc {

namespace {

std::string JsonString(const WCHAR* text) {
  size_t count = 0;
  while (text[count] != 0) ++count;
  return JsonText(text, count);
}

}  // namespace

std::string JsonText(const char16_t* units, size_t count) {
  std::string out = "\"";
  for (size_t k = 0; k < count; ++k) {
    char16_t c = units[k];
    if (c >= 0x20 && c <= 0x7E && c != u'"' && c != u'\\') {
      out += (char)c;
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04x", (unsigned)c);
      out += escape;
    }
  }
  return out + "\"";
}

std::string DumpJson(const LoadOutcome& outcome) {
  std::string out = "{\"status\":" + std::to_string(outcome.status) + ",\"encoding\":";
  out += outcome.encoding < 0 ? "null" : std::to_string(outcome.encoding);
  const LRC* lrc = outcome.lrc;
  if (outcome.status == kLrcLoaded && lrc != nullptr) {
    out += ",\"ti\":" + JsonString(lrc->ti);
    out += ",\"ar\":" + JsonString(lrc->ar);
    out += ",\"al\":" + JsonString(lrc->al);
    out += ",\"by\":" + JsonString(lrc->by);
    out += ",\"offset\":" + std::to_string(lrc->offset);
    out += ",\"lines\":[";
    for (uint32_t k = 0; k < lrc->line_count; ++k) {
      if (k > 0) out += ",";
      out += JsonText(lrc->lines[k].text, lrc->lines[k].len);
    }
    out += "],\"times\":[";
    for (uint32_t k = 0; k < lrc->time_count; ++k) {
      if (k > 0) out += ",";
      out += '[';
      out += std::to_string(lrc->times[k].time);
      out += ',';
      out += std::to_string(lrc->times[k].line);
      out += ']';
    }
    out += "]";
  }
  return out + "}";
}

}  // namespace zqlrc
