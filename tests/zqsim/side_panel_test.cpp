// The panel beside the phone's screen: what it says for each state of the
// phone, and a key map that fits the panel without being cut.
#include "tools/zqsim/side_panel.h"

#include <gtest/gtest.h>

#include <map>

#include "tools/zqsim/key_map.h"
#include "tools/zqsim/window.h"

namespace {

// The panel's lines as label -> value, labels without their padding.
std::map<std::string, std::string> values_of(const zqsim::PanelState& st) {
  std::map<std::string, std::string> out;
  for (const zqsim::PanelLine& l : zqsim::panel_lines(st)) {
    std::string label = l.label.substr(0, l.label.find_last_not_of(' ') + 1);
    out[label.empty() ? l.value : label] = l.value;
  }
  return out;
}

}  // namespace

TEST(SidePanel, SaysWhatThePhoneIsDoing) {
  struct Case {
    const char* what;
    zqsim::PanelState state;
    const char* label;
    std::string value;
  };
  auto state = [](auto change) {
    zqsim::PanelState st;
    st.program_running = true;
    change(st);
    return st;
  };
  const Case cases[] = {
      {"playing", state([](auto& s) { s.indicator = 1; }), "Music status:", "playing (1)"},
      {"paused", state([](auto& s) { s.indicator = 2; }), "Music status:", "paused (2)"},
      {"no track", state([](auto& s) { s.indicator = 0; }), "Music status:", "none (0)"},
      {"locked", state([](auto& s) { s.keypad_locked = true; }), "Keypad:", "locked"},
      {"unlocked", state([](auto&) {}), "Keypad:", "unlocked"},
      {"call", state([](auto& s) { s.voice_call = true; }), "Voice call:", "in a call"},
      {"call in front", state([](auto& s) {
         s.voice_call = true;
         s.player_hidden = true;
       }),
       "In front:", "the call"},
      {"screen", state([](auto&) {}), "In front:", "player screen"},
      {"idle", state([](auto& s) { s.player_hidden = true; }), "In front:", "idle screen"},
      {"other", state([](auto& s) {
         s.player_hidden = true;
         s.front_other = true;
       }),
       "In front:", "another application"},
      {"ended", state([](auto& s) {
         s.program_running = false;
         s.player_hidden = true;
       }),
       "In front:", "player ended"},
      {"volume", state([](auto& s) { s.volume = 7; }), "Volume:", "7 of 7 (type 2)"},
      {"volume LTE", state([](auto& s) {
         s.volume = 0;
         s.volume_type = 4;
       }),
       "Volume:", "0 of 7 (type 4)"},
      {"no track", state([](auto&) {}), "Track:", "none"},
      {"track", state([](auto& s) { s.track = "Song.MP3"; }), "Track:", "Song.MP3"},
      {"long name", state([](auto& s) { s.track = std::string(40, 'a'); }), "Track:", "aaaaaaaaaaaaaaaaaaaaaaaaa..."},
      {"fits exactly", state([](auto& s) { s.track = std::string(28, 'b'); }), "Track:", std::string(28, 'b')},
      // Chinese glyphs are two columns wide.
      {"wide name", state([](auto& s) { s.track = "静夜思静夜思静夜思静夜思静夜思.mp3"; }),
       "Track:", "静夜思静夜思静夜思静夜思..."},
      {"short wide name", state([](auto& s) { s.track = "静夜思.mp3"; }), "Track:", "静夜思.mp3"},
      {"clock", state([](auto& s) {
         s.clock_ms = 61999;
         s.sound = true;
       }),
       "Clock:", "1:01 (sound)"},
      {"silent", state([](auto& s) { s.clock_ms = 0; }), "Clock:", "0:00 (silent)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto values = values_of(c.state);
    ASSERT_TRUE(values.count(c.label)) << c.label;
    EXPECT_EQ(values[c.label], c.value);
  }
}

TEST(SidePanel, TrackLineShowsPositionLengthAndWhetherItPlays) {
  zqsim::PanelState st;
  st.track = "a.mp3";
  st.position_ms = 65500;
  st.length_ms = 180000;
  st.track_playing = true;
  std::vector<zqsim::PanelLine> lines = zqsim::panel_lines(st);
  auto it = std::find_if(lines.begin(), lines.end(), [](const zqsim::PanelLine& l) { return l.value == "a.mp3"; });
  ASSERT_NE(it, lines.end());
  ASSERT_NE(it + 1, lines.end());
  EXPECT_EQ((it + 1)->value, "1:05 / 3:00  playing");
  st.track_playing = false;
  lines = zqsim::panel_lines(st);
  it = std::find_if(lines.begin(), lines.end(), [](const zqsim::PanelLine& l) { return l.value == "a.mp3"; });
  EXPECT_EQ((it + 1)->value, "1:05 / 3:00  halted");
}

// Unifont's glyphs for ASCII are 8 pixels wide: every line of the key map and
// of the state panel ends inside the panel, and the key map ends above the
// window's lowest edge.
TEST(SidePanel, KeyMapAndStateLinesFitThePanel) {
  const size_t max_chars = static_cast<size_t>(zqsim::kPanelWidth - 2 * zqsim::panel_text_x()) / 8;
  int lines = 0;
  for (int i = 0; zqsim::kKeyHelp[i].text != nullptr; ++i, ++lines) {
    std::string text = zqsim::kKeyHelp[i].text;
    EXPECT_LE(text.size(), max_chars) << text;
    for (char c : text) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << text;  // ASCII: 8 pixels each
  }
  EXPECT_GT(lines, 20);
  EXPECT_LE(zqsim::key_map_height(), zqsim::kMinWindowHeight);
  zqsim::PanelState st;
  st.track = std::string(60, 'x');
  st.voice_call = true;
  st.player_hidden = true;
  st.front_other = true;
  st.keypad_locked = true;
  for (const zqsim::PanelLine& l : zqsim::panel_lines(st))
    EXPECT_LE(l.label.size() + l.value.size(), max_chars) << l.value;
}

// Every phone key the key map names is one the keyboard gives.
TEST(SidePanel, KeyMapNamesTheKeysTheKeyboardGives) {
  struct Case {
    SDL_Keycode sym;
    uint16_t mod;
    int key;
    const char* in_map;
  } cases[] = {
      {SDLK_UP, 0, 0x2C, "Up     2C"},
      {SDLK_DOWN, 0, 0x2D, "Down   2D"},
      {SDLK_LEFT, 0, 0x2E, "Left   2E"},
      {SDLK_RIGHT, 0, 0x2F, "Right  2F"},
      {SDLK_PAGEUP, 0, 0x17, "PgUp   17"},
      {SDLK_PAGEDOWN, 0, 0x18, "PgDn  18"},
      {SDLK_1, 0, 0x01, "1 / 7  01/07"},
      {SDLK_7, 0, 0x07, "1 / 7  01/07"},
      {SDLK_2, 0, 0x02, "2  02"},
      {SDLK_8, 0, 0x08, "8  08"},
      {SDLK_4, 0, 0x04, "4 / 6  04/06"},
      {SDLK_6, 0, 0x06, "4 / 6  04/06"},
      {SDLK_3, KMOD_LSHIFT, 0x0B, "#  F3  0B"},
      {SDLK_F3, 0, 0x0B, "#  F3  0B"},
      {SDLK_8, KMOD_RSHIFT, 0x0A, "*  F2  0A"},
      {SDLK_F2, 0, 0x0A, "*  F2  0A"},
      {SDLK_KP_MULTIPLY, 0, 0x0A, "*  F2  0A"},
      {SDLK_ESCAPE, 0, 0x0F, "Esc 0F"},
      {SDLK_BACKSPACE, 0, 0x0E, "Bksp   0E"},
      {SDLK_END, 0, 0x11, "End   11"},
      {SDLK_SPACE, 0, 0x15, "Space  15"},
  };
  std::string map;
  for (int i = 0; zqsim::kKeyHelp[i].text != nullptr; ++i) map += std::string(zqsim::kKeyHelp[i].text) + "\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in_map);
    EXPECT_EQ(zqsim::phone_key_for(c.sym, c.mod), c.key);
    EXPECT_NE(map.find(c.in_map), std::string::npos);
  }
  for (SDL_Keycode control : {SDLK_F1, SDLK_F5, SDLK_F6, SDLK_F7, SDLK_F12}) {
    EXPECT_EQ(zqsim::phone_key_for(control, 0), -1);
    EXPECT_NE(zqsim::control_for(control), zqsim::Control::None);
  }
  for (const char* name : {"F1 key map", "F5 keypad lock", "F6 voice call", "F7 idle / other app", "F12 screenshot"})
    EXPECT_NE(map.find(name), std::string::npos) << name;
}

// The window for each screen scale: the whole screen and the whole key map
// fit, and the panel's text grows with a large screen.
TEST(WindowLayout, ScreenAndKeyMapFitAtEveryScale) {
  struct Case {
    int scale;
    int width, height, zoom;
  } cases[] = {
      {1, 176 + 360, 480, 1}, {2, 352 + 360, 480, 1},  {3, 528 + 360, 660, 1},
      {4, 704 + 360, 880, 1}, {5, 880 + 720, 1100, 2}, {6, 1056 + 720, 1320, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    zqsim::WindowLayout l = zqsim::window_layout(c.scale);
    EXPECT_EQ(l.width, c.width);
    EXPECT_EQ(l.height, c.height);
    EXPECT_EQ(l.panel_zoom, c.zoom);
    EXPECT_EQ(l.screen_w, 176 * c.scale);
    EXPECT_EQ(l.screen_h, 220 * c.scale);
    EXPECT_EQ(l.screen_y, (l.height - l.screen_h) / 2);
    EXPECT_GE(l.screen_y, 0);
    EXPECT_EQ(l.panel_x, l.screen_w);
    EXPECT_EQ(l.panel_width, zqsim::kPanelWidth);
    EXPECT_LE(l.panel_height * l.panel_zoom, l.height);
    EXPECT_GE(l.panel_height, zqsim::key_map_height());
  }
}
