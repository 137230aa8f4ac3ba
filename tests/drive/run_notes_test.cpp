// The front ends' one-line notes: why a track was skipped or broke off, and
// why the player ended.
#include "drive/run_notes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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
      {{{sim::Fact::BreakOff, 61005, "cut.m4a"}}, {"zqsim: cut.m4a breaks off at 61.005 s: the rest is broken"}},
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
    std::function<void(const char*)> write = [&lines](const char* line) { lines.push_back(line); };
    drive::RunNotes notes("zqsim", drive::call<void(const char*)>(&write));
    for (const Fact& f : c.facts) notes.fact(f.fact, f.value, f.text);
    EXPECT_EQ(lines, c.lines);
  }
}

}  // namespace
