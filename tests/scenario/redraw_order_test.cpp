// SPDX-License-Identifier: MIT
// The order in which the screen is drawn: the start of playing, a stop, the
// shell's main-state entry and its focus coming back (the whole screen with
// the time, the bar and the line of the position), a seek step, and the
// player drawing nothing while its screen is closed. The canvas call log is
// read as a sequence of screen areas (blue theme, where every widget fills
// its own rectangle).
#include <functional>
#include <string>
#include <vector>

#include "scenario.h"

namespace scenario {
namespace {

struct Area {
  const char* name;
  int x1, y1, x2, y2;  // corners of the widget's fill
};

const Area kAreas[] = {
    {"name", 0, 20, 176, 39},     {"number", 0, 40, 120, 59}, {"mode", 120, 40, 176, 59},   {"time", 0, 60, 120, 79},
    {"volume", 120, 60, 176, 79}, {"band", 0, 80, 176, 99},   {"lyrics", 0, 100, 176, 199},
};

bool InBands(int y) {
  return y < 20 || y >= 200;
}

// The area a drawing call paints; "" for calls that paint nothing (colours,
// font, measuring, canvas creation), "?" for a call that fits no area.
std::string AreaOf(const sim::CanvasCall& call) {
  switch (call.op) {
    case sim::CanvasOp::kDrawLine:
      return InBands(call.y1) && InBands(call.y2) ? "bands" : "?";
    case sim::CanvasOp::kFillRect:
      for (const Area& a : kAreas)
        if (call.x1 == a.x1 && call.y1 == a.y1 && call.x2 == a.x2 && call.y2 == a.y2) return a.name;
      return call.y1 == 83 && call.y2 == 93 && call.x1 >= 6 ? "bar" : "?";
    case sim::CanvasOp::kDrawRect:
      return call.x1 == 5 && call.y1 == 82 && call.x2 == 170 && call.y2 == 94 ? "band" : "?";
    case sim::CanvasOp::kDrawText:
      if (InBands(call.y1)) return "bands";
      for (const Area& a : kAreas)
        if (call.x1 >= a.x1 && call.x1 < a.x2 && call.y1 >= a.y1 && call.y1 <= a.y2) return a.name;
      return "?";
    default:
      return "";
  }
}

// The areas of the canvas log in drawing order; the calls of one widget in a
// row count once.
std::vector<std::string> DrawnAreas() {
  std::vector<std::string> areas;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) {
    std::string area = AreaOf(sim::CanvasLogAt(i));
    if (!area.empty() && (areas.empty() || areas.back() != area)) areas.push_back(area);
  }
  return areas;
}

// The texts drawn in one area, each text's row in front when it changes:
// "@100 Tea|@120 Art" for tags, "@100 three|@120 ..." for a line drawn unit
// by unit.
std::u16string TextsIn(const std::string& area) {
  std::u16string out;
  int row = -1;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) {
    const sim::CanvasCall& call = sim::CanvasLogAt(i);
    if (call.op != sim::CanvasOp::kDrawText || AreaOf(call) != area) continue;
    if (call.y1 != row) {
      if (row >= 0) out += u'|';
      row = call.y1;
      out += u'@';
      for (char c : std::to_string(row)) out += (char16_t)c;
      out += u' ';
    }
    out.append(call.text, call.text + call.text_len);
  }
  return out;
}

const std::vector<std::string> kBackground = {"bands", "name", "bands", "volume", "mode", "number"};

std::vector<std::string> BackgroundThen(std::vector<std::string> rest) {
  std::vector<std::string> all = kBackground;
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

class RedrawOrder : public Scenario {
 protected:
  // a.mp3: tags and two lines; b.mp3: other tags; c.mp3: no lyrics file.
  void Folder() {
    AddTrack("a.mp3");
    AddTrack("b.mp3");
    AddTrack("c.mp3");
    AddLyrics("a", "[ti:Tea]\n[ar:Art]\n[00:01.00]one\n[00:03.00]three\n");
    AddLyrics("b", "[ti:Bee]\n[ar:Bart]\n[al:Alb]\n[by:Me]\n[00:01.00]uno\n");
  }
};

struct Situation {
  const char* name;
  const char* first;             // track started with
  std::function<void()> before;  // the log is cleared after it
  std::function<void()> action;  // what is drawn here is checked
  std::vector<std::string> areas;
  std::u16string time;    // text of the time widget by row, "" when not drawn
  std::u16string lyrics;  // texts of the lyrics area by row
};

TEST_F(RedrawOrder, EachRedrawPaintsItsAreasInItsOrder) {
  const std::u16string k_tags_a = u"@100 Tea|@120 Art|@140 |@160 ";
  const Situation cases[] = {
      {"play on the ready event of the next track, with tags",
       "a.mp3",
       [&] {
         Seconds(2);
         sim::Press(kSeekFwd);
       },
       [&] {
         sim::Release(kSeekFwd);  // within a second: the next track
         EXPECT_EQ(Track(), "b.mp3");
       },
       {"time", "band", "bar", "volume", "number", "name", "lyrics"},
       u"@60 00:00/03:00",
       u"@100 Bee|@120 Bart|@140 Alb|@160 Me"},
      {"play on the ready event of the next track, without lyrics",
       "b.mp3",
       [&] {
         Seconds(2);
         sim::Press(kSeekFwd);
       },
       [&] { sim::Release(kSeekFwd); },
       {"time", "band", "bar", "volume", "number", "name", "lyrics"},
       u"@60 00:00/03:00",
       u"@100 lrc文件不存在"},
      // The screen shown again drew the line of the position, so the resume
      // leaves the lyrics area alone.
      {"play key resuming on the line on screen",
       "a.mp3",
       [&] {
         CloseScreen();
         Seconds(5);
         sim::Press(kMediaStop);  // on the idle screen: the player screen again
         ASSERT_EQ(Ps().isCanvas, 1);
         sim::Press(kPlay);
         ASSERT_EQ(Ps().State_Player, kPlayerPaused);
       },
       [&] { sim::Press(kPlay); },
       {"time", "band", "bar", "volume", "number", "name"},
       u"@60 00:05/03:00",
       u""},
      {"stop",
       "a.mp3",
       [&] { Seconds(4); },
       [&] { sim::Press(kStop); },
       {"time", "band", "lyrics"},
       u"@60 00:00/03:00",
       k_tags_a},
      {"shell entry", "a.mp3",
       [&] {
         Seconds(2);
         CloseScreen();
       },
       [&] {
         sim::Press(kMediaStop);
         EXPECT_EQ(ShellInfo().state, 2u);
       },
       BackgroundThen({"time", "band", "bar", "lyrics"}), u"@60 00:02/03:00", k_tags_a + u"|@100 one|@120 three"},
      // No tick comes while paused: the screen must be whole at once.
      {"shell entry while paused", "a.mp3",
       [&] {
         Seconds(5);
         sim::Press(kPlay);
         ASSERT_EQ(Ps().State_Player, kPlayerPaused);
         CloseScreen();
         Seconds(3);
       },
       [&] { sim::Press(kMediaStop); }, BackgroundThen({"time", "band", "bar", "lyrics"}), u"@60 00:05/03:00",
       k_tags_a + u"|@100 three|@120     ==OVER==    "},
      {"focus back after a call", "a.mp3",
       [&] {
         Seconds(2);
         sim::SetVoiceCall(true);
       },
       [&] { sim::SetVoiceCall(false); }, BackgroundThen({"time", "band", "bar", "lyrics"}), u"@60 00:02/03:00",
       k_tags_a + u"|@100 one|@120 three"},
  };
  for (const Situation& c : cases) {
    SCOPED_TRACE(c.name);
    RestartMachine();
    Folder();
    ASSERT_TRUE(Start(c.first));
    c.before();
    sim::CanvasLogClear();
    c.action();
    EXPECT_EQ(DrawnAreas(), c.areas);
    EXPECT_EQ(TextsIn("time"), c.time);
    EXPECT_EQ(TextsIn("lyrics"), c.lyrics);
    EndProgram();
  }
}

// A 100 ms step of a held seek key redraws the time and the bar with the new
// position, and nothing else.
TEST_F(RedrawOrder, ASeekStepRedrawsTheTimeAndTheBarOnly) {
  Folder();
  ASSERT_TRUE(Start("a.mp3"));
  Seconds(5);
  sim::Press(kSeekFwd);
  sim::Advance(1000);  // the hold begins at the engine's position 6
  ASSERT_EQ(Ps().State_Player, kPlayerSeeking);
  ASSERT_EQ(Ps().timePosition, 6u);
  sim::CanvasLogClear();
  sim::Advance(100);
  ASSERT_EQ(Ps().timePosition, 7u);
  EXPECT_EQ(DrawnAreas(), (std::vector<std::string>{"time", "bar"}));
  EXPECT_EQ(TextsIn("time"), u"@60 00:07/03:00");
  // 7 of 180 seconds: 6 of the 164 columns played, the rest from column 12.
  std::vector<int> bar_edges;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) {
    const sim::CanvasCall& call = sim::CanvasLogAt(i);
    if (AreaOf(call) == "bar") bar_edges.insert(bar_edges.end(), {call.x1, call.x2});
  }
  EXPECT_EQ(bar_edges, (std::vector<int>{6, 11, 12, 169}));
}

// While the screen is closed the canvas is gone: the ticks and the seek
// steps move the position and draw nothing, and no key activity is injected.
TEST_F(RedrawOrder, NothingIsDrawnWhileTheScreenIsClosed) {
  struct Case {
    const char* name;
    uint8_t hold;  // a seek key held on the idle screen, or 0 for ticks
    uint32_t ms;
    uint32_t position;  // after `ms` from position 4
  };
  const Case cases[] = {{"ticks", 0, 3000, 7}, {"seek steps", kMediaFwd, 300, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RestartMachine();
    Folder();
    ASSERT_TRUE(Start("a.mp3"));
    CloseScreen();
    ASSERT_EQ(Ps().isCanvas, 0);
    Seconds(3);
    if (c.hold) {
      ASSERT_TRUE(sim::Press(c.hold).consumed);
      sim::Advance(1000);  // the hold begins at the engine's position 4
      ASSERT_EQ(Ps().State_Player, kPlayerSeeking);
    } else {
      Seconds(1);
    }
    ASSERT_EQ(Ps().timePosition, 4u);
    sim::CanvasLogClear();
    sim::InjectedKey keys[8];
    sim::TakeInjectedKeys(keys, 8);
    sim::Advance(c.ms);
    EXPECT_EQ(Ps().timePosition, c.position);
    EXPECT_EQ(sim::CanvasLogSize(), 0u);
    EXPECT_EQ(sim::TakeInjectedKeys(keys, 8), 0u);
    EndProgram();
  }
}

}  // namespace
}  // namespace scenario
