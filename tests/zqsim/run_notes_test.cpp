// zqsim's one-line notes: why a track was skipped or broke off, why the
// player ended, and which tracks the phone's limits leave out of the list.
#include "tools/zqsim/run_notes.h"

#include <gtest/gtest.h>

#include "platform/framework.h"

namespace {

struct Fact {
  sim::Fact fact;
  uint32_t value;
  const char* text;
};

TEST(RunNotes, SayInOneLineWhyATrackWasSkippedOrBrokeOffOrThePlayerEnded) {
  const Fact missing{sim::Fact::FileMissing, 0, "file://b/mobile/audio/gone.mp3"};
  const Fact no_lyrics{sim::Fact::FileMissing, 0, "file://b/mobile/audio/lrc/gone.lrc"};
  const Fact track{sim::Fact::Track, 0, "next.mp3"};
  struct Case {
    std::vector<Fact> facts;
    std::vector<std::string> lines;
  } cases[] = {
      {{no_lyrics, missing, missing, track}, {"zqsim: gone.mp3 is skipped: its file is missing"}},
      {{{sim::Fact::BreakOff, 0, "empty.mp3"}, {sim::Fact::BreakOff, 0, "empty.mp3"}},
       {"zqsim: empty.mp3 breaks off at its start: it is broken (empty, or not audio)"}},
      {{{sim::Fact::BreakOff, 61250, "cut.m4a"}}, {"zqsim: cut.m4a breaks off at 61.250 s: the rest is broken"}},
      {{{sim::Fact::Unload, EV_KEY_PRESS, nullptr}}, {"zqsim: the player has ended: exit key"}},
      {{{sim::Fact::Unload, EV_PLAYBACK_END, nullptr}},
       {"zqsim: the player has ended: end of the track in single mode"}},
      {{track, missing, {sim::Fact::Unload, EV_PLAYBACK_END, nullptr}},
       {"zqsim: gone.mp3 is skipped: its file is missing", "zqsim: the player has ended: the track files are missing"}},
      {{missing, track, {sim::Fact::Unload, EV_SHELL_KEY, nullptr}},
       {"zqsim: gone.mp3 is skipped: its file is missing", "zqsim: the player has ended: exit key"}},
      {{{sim::Fact::Unload, 0, nullptr}}, {"zqsim: the player has ended"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    zqsim::RunNotes notes([&lines](const std::string& line) { lines.push_back(line); });
    for (const Fact& f : c.facts) notes.fact(f.fact, f.value, f.text);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(RunNotes, TellWhichTracksThePhonesLimitsLeaveOut) {
  const size_t folder = 22;  // "file://b/mobile/audio/"
  std::vector<std::string> many(65537, "t.mp3");
  many.push_back("lyrics.lrc");
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> notes;
  } cases[] = {
      {{"a.mp3", std::string(123, 'n') + ".m4a", "notes.txt"}, {}},
      {{"a.mp3", std::string(124, 'l') + ".mp3", std::string(300, 'x') + ".MP3"},
       {"zqsim: 2 track(s) of the folder are not listed: the player takes names of at most 127 units in paths of at "
        "most 255"}},
      {many, {"zqsim: the folder has 65537 tracks; the phone lists the first 65535 in name order"}},
  };
  for (const Case& c : cases) EXPECT_EQ(zqsim::folder_limit_notes(c.names, folder), c.notes);
}

}  // namespace
