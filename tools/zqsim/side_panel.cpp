#include "tools/zqsim/side_panel.h"

#include <cstring>

#include "tools/zqsim/key_map.h"

namespace zqsim {
namespace {

constexpr uint32_t kBackground = 0x20242C;
constexpr uint32_t kText = 0xE6E6E6;
constexpr uint32_t kDim = 0x9AA0AA;
constexpr uint32_t kTitle = 0x8CC8FF;
constexpr uint32_t kGreen = 0x6CD98A;
constexpr uint32_t kAmber = 0xF2C14E;
constexpr uint32_t kRed = 0xF07070;
constexpr int kMargin = 10;
constexpr int kLine = 18;

struct Painter {
  uint8_t* rgb;
  int height;
  const PanelFont& font;
  int y = kMargin;

  void row(const std::string& label, const std::string& value, uint32_t color) {
    int x = kMargin + font.draw(rgb, kPanelWidth, height, kMargin, y, label, kDim);
    font.draw(rgb, kPanelWidth, height, x, y, value, color);
    y += kLine;
  }
  void text(const std::string& s, uint32_t color) {
    font.draw(rgb, kPanelWidth, height, kMargin, y, s, color);
    y += kLine;
  }
  void gap() { y += kLine / 2; }
};

// Cuts UTF-8 text to at most `max` code points, with "..." when cut.
std::string fit(const std::string& s, size_t max) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (++count > max) return s.substr(0, i) + "...";
  }
  return s;
}

}  // namespace

std::string minutes_seconds(uint32_t ms) {
  uint32_t s = ms / 1000;
  char buf[32];
  snprintf(buf, sizeof buf, "%u:%02u", s / 60, s % 60);
  return buf;
}

void draw_side_panel(uint8_t* rgb, int height, const PanelFont& font, const PanelState& st, bool help) {
  for (int i = 0; i < kPanelWidth * height; ++i) {
    rgb[3 * i] = kBackground >> 16;
    rgb[3 * i + 1] = (kBackground >> 8) & 0xFF;
    rgb[3 * i + 2] = kBackground & 0xFF;
  }
  Painter p{rgb, height, font};
  if (help) {
    for (int i = 0; kKeyHelp[i] != nullptr; ++i) {
      bool heading = i == 0 || (kKeyHelp[i - 1][0] == 0);
      p.text(kKeyHelp[i], heading ? kTitle : kText);
    }
    return;
  }
  p.text("ZQ phone", kTitle);
  p.gap();
  static const char* const kIndicator[] = {"none", "playing", "paused"};
  const char* ind = st.indicator < 3 ? kIndicator[st.indicator] : "?";
  uint32_t ind_color = st.indicator == 1 ? kGreen : st.indicator == 2 ? kAmber : kDim;
  p.row("Music status: ", std::string(ind) + " (" + std::to_string(st.indicator) + ")", ind_color);
  p.row("Keypad:       ", st.keypad_locked ? "locked" : "unlocked", st.keypad_locked ? kRed : kText);
  p.row("Voice call:   ", st.voice_call ? "in a call" : "none", st.voice_call ? kRed : kText);
  std::string front;
  if (!st.program_running)
    front = "player ended";
  else if (st.voice_call)
    front = "the call";
  else if (!st.player_hidden)
    front = "player screen";
  else
    front = st.front_other ? "another application" : "idle screen";
  p.row("In front:     ", front, kText);
  p.row("Volume:       ", std::to_string(st.volume) + " of 7 (type " + std::to_string(st.volume_type) + ")", kText);
  p.gap();
  if (st.track.empty()) {
    p.row("Track:        ", "none", kDim);
  } else {
    p.row("Track: ", fit(st.track, 28), kText);
    p.row("              ",
          minutes_seconds(st.position_ms) + " / " + minutes_seconds(st.length_ms) +
              (st.track_playing ? "  playing" : "  halted"),
          st.track_playing ? kGreen : kDim);
  }
  p.row("Clock:        ", minutes_seconds(st.clock_ms) + (st.sound ? " (sound)" : " (silent)"), kDim);
  p.gap();
  p.text("F1 key map   F5 lock   F6 call", kDim);
  p.text("F7 idle/other   F12 screenshot", kDim);
}

}  // namespace zqsim
