// SPDX-License-Identifier: MIT
// The panel beside the phone's screen: what it says for each state of the
// phone, and a key map that fits the panel without being cut.
#include "tools/zqsim/side_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tools/zqsim/key_map.h"
#include "tools/zqsim/phone_body.h"
#include "tools/zqsim/window.h"

namespace {

// The panel's lines as label -> value, labels without their padding.
std::map<std::string, std::string> ValuesOf(const zqsim::PanelState& st) {
  std::map<std::string, std::string> out;
  for (const zqsim::PanelLine& l : zqsim::PanelLines(st)) {
    std::string label = l.label.substr(0, l.label.find_last_not_of(' ') + 1);
    out[label.empty() ? l.value : label] = l.value;
  }
  return out;
}

zqsim::LyricsFacts::File File(const std::string& name, bool found, bool opened, uint32_t size, uint32_t read) {
  zqsim::LyricsFacts::File f;
  f.uri = "file://b/mobile/audio/lrc/" + name;
  f.found = found;
  f.opened = opened;
  f.size = size;
  f.read = read;
  f.read_whole = opened && read == size;
  return f;
}

// A track's lyrics load that asked for `files` and ended with `status`.
zqsim::LyricsFacts Lyrics(std::vector<zqsim::LyricsFacts::File> files, int status = -1) {
  zqsim::LyricsFacts f;
  f.track = true;
  f.files = std::move(files);
  f.status_known = status >= 0;
  f.status = static_cast<uint8_t>(status);
  return f;
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
      // The lyrics block: where the program looked, what it read, what became of it.
      {"no load seen", state([](auto&) {}), "Looked for:", "nothing yet"},
      {"folder", state([](auto& s) { s.lyrics = Lyrics({File("a.lrc", false, false, 0, 0)}); }),
       "Folder:", "file://b/mobile/audio/lrc/"},
      {"missing", state([](auto& s) { s.lyrics = Lyrics({File("a.lrc", false, false, 0, 0)}); }),
       "Tried:", "a.lrc missing"},
      {"read", state([](auto& s) { s.lyrics = Lyrics({File("a.txt", true, true, 203, 203)}); }),
       "Tried:", "a.txt 203 bytes"},
      {"read short", state([](auto& s) { s.lyrics = Lyrics({File("a.lrc", true, true, 20, 10)}); }),
       "Tried:", "a.lrc 10 of 20 bytes"},
      {"cannot open", state([](auto& s) {
         s.lyrics = Lyrics({File("a.lrc", true, false, 0, 0)});
         s.lyrics.files[0].open_failed = true;
       }),
       "Tried:", "a.lrc cannot open"},
      {"long name",
       state([](auto& s) { s.lyrics = Lyrics({File(std::string(40, 'n') + ".lrc", false, false, 0, 0)}); }),
       "Tried:", std::string(17, 'n') + "... missing"},
      {"encoding", state([](auto& s) {
         s.lyrics = Lyrics({File("a.lrc", true, true, 9, 9)});
         s.lyrics.lyrics_file = 0;
         s.lyrics.encoding = 1;
       }),
       "Encoding:", "GB2312 (no byte-order mark)"},
      {"no lyrics file", state([](auto& s) { s.lyrics = Lyrics({}, 4); }), "Status:", "4 no lyrics file"},
      {"its message", state([](auto& s) { s.lyrics = Lyrics({}, 4); }), "Screen shows:", "lrc文件不存在"},
      {"encrypted", state([](auto& s) { s.lyrics = Lyrics({}, 5); }), "Screen shows:", "lrc文件被加密"},
      {"loaded", state([](auto& s) {
         s.lyrics = Lyrics({}, 0);
         s.lyrics.loaded = true;
         s.lyrics.lines = 12;
         s.lyrics.times = 15;
       }),
       "Lines:", "12 lines, 15 time entries"},
      {"pointer", state([](auto& s) { s.pointer = "key 2F (keyboard: Right)"; }),
       "Mouse on:", "key 2F (keyboard: Right)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto values = ValuesOf(c.state);
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
  std::vector<zqsim::PanelLine> lines = zqsim::PanelLines(st);
  auto it = std::find_if(lines.begin(), lines.end(), [](const zqsim::PanelLine& l) { return l.value == "a.mp3"; });
  ASSERT_NE(it, lines.end());
  ASSERT_NE(it + 1, lines.end());
  EXPECT_EQ((it + 1)->value, "1:05 / 3:00  playing");
  st.track_playing = false;
  lines = zqsim::PanelLines(st);
  it = std::find_if(lines.begin(), lines.end(), [](const zqsim::PanelLine& l) { return l.value == "a.mp3"; });
  EXPECT_EQ((it + 1)->value, "1:05 / 3:00  halted");
}

// Unifont's glyphs for ASCII are 8 pixels wide: every line of the key map and
// of the state panel ends inside the panel, and the key map ends above the
// window's lowest edge.
TEST(SidePanel, KeyMapAndStateLinesFitThePanel) {
  const size_t max_chars = static_cast<size_t>(zqsim::kPanelWidth - 2 * zqsim::PanelTextX()) / 8;
  int lines = 0;
  for (int i = 0; zqsim::kKeyHelp[i].text != nullptr; ++i, ++lines) {
    std::string text = zqsim::kKeyHelp[i].text;
    EXPECT_LE(text.size(), max_chars) << text;
    for (char c : text) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << text;  // ASCII: 8 pixels each
  }
  EXPECT_GT(lines, 20);
  EXPECT_LE(zqsim::KeyMapHeight(), zqsim::kMinWindowHeight);
  zqsim::PanelState st;
  st.track = std::string(60, 'x');
  st.voice_call = true;
  st.player_hidden = true;
  st.front_other = true;
  st.keypad_locked = true;
  st.lyrics = Lyrics({File(std::string(60, 'y') + ".lrc", true, true, 70000, 65534)}, 2);
  st.lyrics.files.push_back(File("", true, true, 15228, 15228));
  st.lyrics.files.back().uri = "file://b/ELF/" + std::string(60, 'm');
  st.lyrics.lyrics_file = 0;
  st.lyrics.encoding = 1;
  st.pointer = "key 0A (keyboard: * / F2)";
  for (const zqsim::PanelLine& l : zqsim::PanelLines(st))
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
    EXPECT_EQ(zqsim::PhoneKeyFor(c.sym, c.mod), c.key);
    EXPECT_NE(map.find(c.in_map), std::string::npos);
  }
  for (SDL_Keycode control : {SDLK_F1, SDLK_F5, SDLK_F6, SDLK_F7, SDLK_F12}) {
    EXPECT_EQ(zqsim::PhoneKeyFor(control, 0), -1);
    EXPECT_NE(zqsim::ControlFor(control), zqsim::Control::kNone);
  }
  for (const char* name : {"F1 key map", "F5 keypad lock", "F6 voice call", "F7 idle / other app", "F12 screenshot"})
    EXPECT_NE(map.find(name), std::string::npos) << name;
}

// The window for each screen scale: the phone with the whole screen in it,
// the panel beside it with the whole key map, its text growing with a large
// screen; at the default scale the window fits a display 768 pixels high.
TEST(WindowLayout, PhoneAndKeyMapFitAtEveryScale) {
  for (int scale = 1; scale <= 6; ++scale) {
    SCOPED_TRACE(scale);
    zqsim::WindowLayout l = zqsim::MakeWindowLayout(scale);
    const zqsim::PhoneBody& p = l.phone;
    EXPECT_EQ(l.screen_w, 176 * scale);
    EXPECT_EQ(l.screen_h, 220 * scale);
    EXPECT_EQ(l.screen_x, p.screen.x);
    EXPECT_EQ(l.screen_y, l.phone_y + p.screen.y);
    auto inside = [](const zqsim::Rect& in, const zqsim::Rect& out) {
      return in.x >= out.x && in.y >= out.y && in.x + in.w <= out.x + out.w && in.y + in.h <= out.y + out.h;
    };
    EXPECT_TRUE(inside(p.screen, p.glass));
    EXPECT_TRUE(inside(p.glass, p.body));
    EXPECT_TRUE(inside(p.body, {0, 0, p.width, p.height}));
    EXPECT_GE(l.phone_y, 0);
    EXPECT_LE(l.phone_y + p.height, l.height);
    EXPECT_EQ(l.panel_x, p.width);
    EXPECT_EQ(l.width, p.width + zqsim::kPanelWidth * l.panel_zoom);
    EXPECT_EQ(l.panel_zoom, scale >= 4 ? 2 : 1);
    EXPECT_LE(l.panel_height * l.panel_zoom, l.height);
    EXPECT_GE(l.panel_height, zqsim::KeyMapHeight());
    EXPECT_TRUE(scale > 2 || l.height <= 768) << l.height;
  }
}

// Every phone key the keyboard gives is on the phone once, lies inside the
// phone's part of the window, and is what a click at its middle presses;
// the screen and the pad's middle press nothing.
TEST(PhoneBody, EveryMappedKeyIsDrawnOnceAndClickable) {
  for (int scale = 1; scale <= 6; ++scale) {
    SCOPED_TRACE(scale);
    zqsim::PhoneBody p = zqsim::MakePhoneBody(scale);
    for (uint8_t code : zqsim::MappedPhoneKeys()) {
      SCOPED_TRACE(code);
      EXPECT_EQ(std::count_if(p.keys.begin(), p.keys.end(), [&](const zqsim::BodyKey& k) { return k.code == code; }),
                1);
      const zqsim::BodyKey* k = zqsim::FindBodyKey(p, code);
      ASSERT_NE(k, nullptr);
      EXPECT_TRUE(k->rect.x >= 0 && k->rect.y >= 0 && k->rect.x + k->rect.w <= p.width &&
                  k->rect.y + k->rect.h <= p.height);
      int x = k->rect.x + k->rect.w / 2, y = k->rect.y + k->rect.h / 2;
      if (k->shape == zqsim::KeyShape::kArrow) {
        static const int kDir[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        const int at = (p.pad_radius + p.pad_hole) / 2;
        x = p.pad_x + kDir[static_cast<int>(k->arrow)][0] * at;
        y = p.pad_y + kDir[static_cast<int>(k->arrow)][1] * at;
      }
      EXPECT_EQ(zqsim::KeyAt(p, x, y), code);
      EXPECT_FALSE(std::string(k->face).empty());
    }
    EXPECT_EQ(p.keys.size(), zqsim::MappedPhoneKeys().size());
    EXPECT_EQ(zqsim::KeyAt(p, p.screen.x + p.screen.w / 2, p.screen.y + p.screen.h / 2), -1);
    EXPECT_EQ(zqsim::KeyAt(p, p.pad_x, p.pad_y), -1);
    EXPECT_EQ(zqsim::KeyAt(p, p.pad_x + p.pad_radius * 8 / 10, p.pad_y + p.pad_radius * 8 / 10), -1);  // off the round
  }
}
