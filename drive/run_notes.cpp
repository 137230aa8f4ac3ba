// SPDX-License-Identifier: MIT
#include "drive/run_notes.h"

#include "drive/file_names.h"
#include "drive/trace.h"
#include "platform/framework.h"

namespace drive {
namespace {

// The name after the last "/" of a URI.
const char* NameOf(const char* uri) {
  const char* name = uri;
  for (const char* p = uri; *p != '\0'; ++p)
    if (*p == '/') name = p + 1;
  return name;
}

const char* EndReason(uint32_t event, bool missing) {
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

void OnFact(void* ctx, sim::Fact fact, uint32_t value, const char* text) {
  static_cast<RunNotes*>(ctx)->Fact(fact, value, text);
}

}  // namespace

FactListener RunNotes::Listener() {
  return FactListener{OnFact, this};
}

void RunNotes::Note(const Text& text) {
  if (!write_) {
    Say(program_, text.CStr());
    return;
  }
  Text line(program_);
  line.Append(": ").Append(text);
  write_(line.CStr());
}

void RunNotes::NoteOnce(const Text& key, const Text& text) {
  const char* p = noted_.CStr();
  const char* end = p + noted_.Size();
  for (; p < end; p += LengthOf(p) + 1)
    if (SameText(p, key.CStr())) return;
  noted_.Append(key.CStr(), key.Size() + 1);
  Note(text);
}

void RunNotes::Fact(sim::Fact fact, uint32_t value, const char* text) {
  const char* name = NameOf(text != nullptr ? text : "");
  switch (fact) {
    case sim::Fact::kFileMissing: {
      // The player also asks for lyrics files that need not be there.
      if (!IsAudioName(name)) return;
      missing_since_track_ = true;
      Text key("missing "), line(name);
      key.Append(text);
      line.Append(" is skipped: its file is missing");
      NoteOnce(key, line);
      return;
    }
    case sim::Fact::kTrack:
      missing_since_track_ = false;
      return;
    case sim::Fact::kBreakOff: {
      Text key("break "), line(text != nullptr ? text : "");
      key.Append(line);
      if (value == 0) {
        line.Append(" breaks off at its start: it is broken (empty, or not audio)");
      } else {
        line.Append(" breaks off at ").AppendNumber(value / 1000).Append('.');
        uint32_t ms = value % 1000;
        if (ms < 100) line.Append('0');
        if (ms < 10) line.Append('0');
        line.AppendNumber(ms).Append(" s: the rest is broken");
      }
      NoteOnce(key, line);
      return;
    }
    case sim::Fact::kUnload: {
      const char* why = EndReason(value, missing_since_track_);
      Text line("the player has ended");
      if (why[0] != '\0') line.Append(": ").Append(why);
      Note(line);
      return;
    }
    default:
      return;
  }
}

}  // namespace drive
