#include "tools/zqsim/run_notes.h"

#include <stdio.h>

#include "platform/filesystem.h"
#include "platform/framework.h"
#include "playback/tracklist.h"
#include "tools/zqsim/phone_fs.h"

namespace zqsim {
namespace {

// The name after the last "/" of a URI.
std::string name_of(const char* uri) {
  std::string s = uri ? uri : "";
  return s.substr(s.rfind('/') + 1);
}

// Units of UTF-16 the UTF-8 text takes.
size_t utf16_units(const std::string& s) {
  size_t units = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    units += c >= 0xF0 ? 2 : 1;        // four bytes: a surrogate pair
  }
  return units;
}

std::string end_reason(uint32_t event, bool missing) {
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

}  // namespace

void RunNotes::note_once(const std::string& key, const std::string& line) {
  if (noted_.insert(key).second) write_(line);
}

void RunNotes::fact(sim::Fact fact, uint32_t value, const char* text) {
  switch (fact) {
    case sim::Fact::FileMissing:
      // The player also asks for lyrics files that need not be there.
      if (!is_audio_name(name_of(text))) return;
      missing_since_track_ = true;
      note_once("missing " + std::string(text), "zqsim: " + name_of(text) + " is skipped: its file is missing");
      return;
    case sim::Fact::Track:
      missing_since_track_ = false;
      return;
    case sim::Fact::BreakOff: {
      std::string name = text ? text : "";
      if (value == 0) {
        note_once("break " + name, "zqsim: " + name + " breaks off at its start: it is broken (empty, or not audio)");
      } else {
        char at[32];
        snprintf(at, sizeof at, "%u.%03u s", value / 1000, value % 1000);
        note_once("break " + name, "zqsim: " + name + " breaks off at " + at + ": the rest is broken");
      }
      return;
    }
    case sim::Fact::Unload: {
      std::string why = end_reason(value, missing_since_track_);
      write_(why.empty() ? "zqsim: the player has ended" : "zqsim: the player has ended: " + why);
      return;
    }
    default:
      return;
  }
}

std::vector<std::string> folder_limit_notes(const std::vector<std::string>& names, size_t folder_units) {
  size_t searched = 0, too_long = 0;
  for (const std::string& name : names) {
    if (!is_audio_name(name)) continue;
    size_t units = utf16_units(name);
    bool fits_uri = folder_units + units < FS_URI_UNITS;
    searched += fits_uri;
    too_long += !fits_uri || units > TRACK_NAME_UNITS;
  }
  std::vector<std::string> notes;
  if (too_long > 0) {
    notes.push_back("zqsim: " + std::to_string(too_long) +
                    " track(s) of the folder are not listed: the player takes names of at most " +
                    std::to_string(TRACK_NAME_UNITS) + " units in paths of at most " +
                    std::to_string(FS_URI_UNITS - 1));
  }
  if (searched > UINT16_MAX) {
    notes.push_back("zqsim: the folder has " + std::to_string(searched) + " tracks; the phone lists the first " +
                    std::to_string(UINT16_MAX) + " in name order");
  }
  return notes;
}

}  // namespace zqsim
