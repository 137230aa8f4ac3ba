#include "drive/run_notes.h"

#include "drive/trace.h"
#include "platform/framework.h"

namespace drive {
namespace {

// The name after the last "/" of a URI.
const char* name_of(const char* uri) {
  const char* name = uri;
  for (const char* p = uri; *p != '\0'; ++p)
    if (*p == '/') name = p + 1;
  return name;
}

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ends_with_ignoring_case(const char* s, const char* tail) {
  size_t n = length_of(s), t = length_of(tail);
  if (n <= t) return false;
  for (size_t i = 0; i < t; ++i)
    if (lower(s[n - t + i]) != tail[i]) return false;
  return true;
}

bool is_audio_name(const char* name) {
  return ends_with_ignoring_case(name, ".mp3") || ends_with_ignoring_case(name, ".m4a");
}

const char* end_reason(uint32_t event, bool missing) {
  if (missing) return "the track files are missing";
  switch (event) {
    case EV_KEY_PRESS:
    case EV_KEY_RELEASE:
    case EV_SHELL_KEY:
      return "exit key";
    case EV_PLAYBACK_END:
      return "end of the track in single mode";
    default:
      return "";
  }
}

void on_fact(void* ctx, sim::Fact fact, uint32_t value, const char* text) {
  static_cast<RunNotes*>(ctx)->fact(fact, value, text);
}

}  // namespace

FactListener RunNotes::listener() {
  return FactListener{on_fact, this};
}

void RunNotes::note(const Text& text) {
  if (!write_) {
    say(program_, text.c_str());
    return;
  }
  Text line(program_);
  line.append(": ").append(text);
  write_(line.c_str());
}

void RunNotes::note_once(const Text& key, const Text& text) {
  const char* p = noted_.c_str();
  const char* end = p + noted_.size();
  for (; p < end; p += length_of(p) + 1)
    if (same_text(p, key.c_str())) return;
  noted_.append(key.c_str(), key.size() + 1);
  note(text);
}

void RunNotes::fact(sim::Fact fact, uint32_t value, const char* text) {
  const char* name = name_of(text != nullptr ? text : "");
  switch (fact) {
    case sim::Fact::FileMissing: {
      // The player also asks for lyrics files that need not be there.
      if (!is_audio_name(name)) return;
      missing_since_track_ = true;
      Text key("missing "), line(name);
      key.append(text);
      line.append(" is skipped: its file is missing");
      note_once(key, line);
      return;
    }
    case sim::Fact::Track:
      missing_since_track_ = false;
      return;
    case sim::Fact::BreakOff: {
      Text key("break "), line(text != nullptr ? text : "");
      key.append(line);
      if (value == 0) {
        line.append(" breaks off at its start: it is broken (empty, or not audio)");
      } else {
        line.append(" breaks off at ").append_number(value / 1000).append('.');
        uint32_t ms = value % 1000;
        if (ms < 100) line.append('0');
        if (ms < 10) line.append('0');
        line.append_number(ms).append(" s: the rest is broken");
      }
      note_once(key, line);
      return;
    }
    case sim::Fact::Unload: {
      const char* why = end_reason(value, missing_since_track_);
      Text line("the player has ended");
      if (why[0] != '\0') line.append(": ").append(why);
      note(line);
      return;
    }
    default:
      return;
  }
}

}  // namespace drive
