// SPDX-License-Identifier: MIT
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
  const Fact missing{sim::Fact::kFileMissing, 0, "file://b/mobile/audio/gone.mp3"};
  const Fact no_lyrics{sim::Fact::kFileMissing, 0, "file://b/mobile/audio/lrc/gone.lrc"};
  const Fact track{sim::Fact::kTrack, 0, "next.mp3"};
  struct Case {
    std::vector<Fact> facts;
    std::vector<std::string> lines;
  } cases[] = {
      {{no_lyrics, missing, missing, track}, {"zqsim: gone.mp3 is skipped: its file is missing"}},
      {{{sim::Fact::kBreakOff, 0, "empty.mp3"}, {sim::Fact::kBreakOff, 0, "empty.mp3"}},
       {"zqsim: empty.mp3 breaks off at its start: it is broken (empty, or not audio)"}},
      {{{sim::Fact::kBreakOff, 61005, "cut.m4a"}}, {"zqsim: cut.m4a breaks off at 61.005 s: the rest is broken"}},
      {{{sim::Fact::kUnload, EV_KEY_PRESS, nullptr}}, {"zqsim: the player has ended: exit key"}},
      {{{sim::Fact::kUnload, EV_PLAYBACK_END, nullptr}},
       {"zqsim: the player has ended: end of the track in single mode"}},
      {{track, missing, {sim::Fact::kUnload, EV_PLAYBACK_END, nullptr}},
       {"zqsim: gone.mp3 is skipped: its file is missing", "zqsim: the player has ended: the track files are missing"}},
      {{missing, track, {sim::Fact::kUnload, EV_SHELL_KEY, nullptr}},
       {"zqsim: gone.mp3 is skipped: its file is missing", "zqsim: the player has ended: exit key"}},
      {{{sim::Fact::kUnload, 0, nullptr}}, {"zqsim: the player has ended"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    std::function<void(const char*)> write = [&lines](const char* line) { lines.push_back(line); };
    drive::RunNotes notes("zqsim", drive::Call<void(const char*)>(&write));
    for (const Fact& f : c.facts) notes.Fact(f.fact, f.value, f.text);
    EXPECT_EQ(lines, c.lines);
  }
}

}  // namespace
