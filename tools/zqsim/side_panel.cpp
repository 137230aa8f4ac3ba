// SPDX-License-Identifier: MIT
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
constexpr int kLine = 17;
constexpr int kHeadingGap = 4;  // above a heading of the key map

struct Painter {
  uint8_t* rgb;
  int height;
  const PanelFont& font;
  int y = kMargin;

  void Row(const std::string& label, const std::string& value, uint32_t color) {
    int x = kMargin + font.Draw(rgb, kPanelWidth, height, kMargin, y, label, kDim);
    font.Draw(rgb, kPanelWidth, height, x, y, value, color);
    y += kLine;
  }
  void text(const std::string& s, uint32_t color) {
    font.Draw(rgb, kPanelWidth, height, kMargin, y, s, color);
    y += kLine;
  }
  void Gap() { y += kLine / 2; }
};

// Cuts UTF-8 text to at most `max` columns of the panel font (8 pixels; CJK
// and other wide glyphs take two), ending in "..." when cut.
std::string Fit(const std::string& s, size_t max) {
  std::vector<size_t> starts;  // byte offset of each code point
  std::vector<size_t> widths;
  size_t total = 0;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    uint32_t cp = c < 0x80 ? c : c < 0xE0 ? c & 0x1F : c < 0xF0 ? c & 0x0F : c & 0x07;
    for (size_t k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    starts.push_back(i);
    widths.push_back(cp >= 0x1100 ? 2 : 1);
    total += widths.back();
    i += len;
  }
  if (total <= max) return s;
  size_t used = 0, n = 0;
  while (n < widths.size() && used + widths[n] + 3 <= max) used += widths[n++];
  return s.substr(0, starts[n]) + "...";
}

// What became of one file the lyrics load asked for.
std::string Outcome(const LyricsFacts::File& file) {
  if (!file.found) return "missing";
  if (file.open_failed) return "cannot open";
  if (!file.opened) return "found";
  if (file.read_whole) return std::to_string(file.read) + " bytes";
  return std::to_string(file.read) + " of " + std::to_string(file.size) + " bytes";
}

// Where the program looked for the current track's lyrics, what it read and
// what it made of them: the answer to "why no lyrics?".
void AddLyricsLines(const LyricsFacts& f, std::vector<PanelLine>* lines) {
  auto add = [&](const char* label, const std::string& value, uint32_t color, bool gap = false) {
    lines->push_back({label, value, color, gap});
  };
  add("", "Lyrics of the track", kTitle, true);
  if (!f.track) {
    add("Looked for:   ", "nothing yet", kDim);
    return;
  }
  std::string folder;
  if (!f.files.empty()) folder = f.files[0].uri.substr(0, f.files[0].uri.rfind('/') + 1);
  add("Folder:       ", folder.empty() ? "none: no name to look for" : Fit(folder, 28), folder.empty() ? kRed : kText);
  for (size_t i = 0; i < f.files.size(); ++i) {
    const LyricsFacts::File& file = f.files[i];
    std::string name = file.uri;
    if (name.compare(0, folder.size(), folder) == 0)
      name = name.substr(folder.size());
    else if (name.rfind("file://b/", 0) == 0)
      name = name.substr(9);
    std::string result = Outcome(file);
    add(i == 0 ? "Tried:        " : "              ", Fit(name, 27 - result.size()) + " " + result,
        file.found && file.opened && file.read_whole ? kText : kAmber);
  }
  if (f.lyrics_file >= 0) add("Encoding:     ", EncodingName(f.encoding), f.encoding > 0 ? kText : kRed);
  if (!f.status_known) return;
  add("Status:       ", std::to_string(f.status) + " " + StatusName(f.status), f.status == 0 ? kGreen : kRed);
  if (f.status != 0) add("Screen shows: ", StatusMessage(f.status), kAmber);
  if (f.loaded)
    add("Lines:        ", std::to_string(f.lines) + " lines, " + std::to_string(f.times) + " time entries", kText);
}

}  // namespace

std::string MinutesSeconds(uint32_t ms) {
  uint32_t s = ms / 1000;
  char buf[32];
  snprintf(buf, sizeof buf, "%u:%02u", s / 60, s % 60);
  return buf;
}

void DrawSidePanel(uint8_t* rgb, int height, const PanelFont& font, const PanelState& st, bool help) {
  for (int i = 0; i < kPanelWidth * height; ++i) {
    rgb[3 * i] = kBackground >> 16;
    rgb[3 * i + 1] = (kBackground >> 8) & 0xFF;
    rgb[3 * i + 2] = kBackground & 0xFF;
  }
  Painter p{rgb, height, font};
  if (help) {
    for (int i = 0; kKeyHelp[i].text != nullptr; ++i) {
      if (kKeyHelp[i].heading && i > 0) p.y += kHeadingGap;
      p.text(kKeyHelp[i].text, kKeyHelp[i].heading ? kTitle : kText);
    }
    return;
  }
  for (const PanelLine& line : PanelLines(st)) {
    if (line.gap_before) p.Gap();
    if (line.label.empty())
      p.text(line.value, line.color);
    else
      p.Row(line.label, line.value, line.color);
  }
}

std::vector<PanelLine> PanelLines(const PanelState& st) {
  std::vector<PanelLine> lines;
  auto add = [&](const char* label, const std::string& value, uint32_t color, bool gap = false) {
    lines.push_back({label, value, color, gap});
  };
  add("", "ZQ phone", kTitle);
  static const char* const kIndicator[] = {"none", "playing", "paused"};
  const char* ind = st.indicator < 3 ? kIndicator[st.indicator] : "?";
  uint32_t ind_color = st.indicator == 1 ? kGreen : st.indicator == 2 ? kAmber : kDim;
  add("Music status: ", std::string(ind) + " (" + std::to_string(st.indicator) + ")", ind_color, true);
  add("Keypad:       ", st.keypad_locked ? "locked" : "unlocked", st.keypad_locked ? kRed : kText);
  add("Voice call:   ", st.voice_call ? "in a call" : "none", st.voice_call ? kRed : kText);
  std::string front;
  if (!st.program_running)
    front = "player ended";
  else if (st.voice_call)
    front = "the call";
  else if (!st.player_hidden)
    front = "player screen";
  else
    front = st.front_other ? "another application" : "idle screen";
  add("In front:     ", front, kText);
  add("Volume:       ",
      std::to_string(st.volume) + " of " + std::to_string(AUD_VOLUME_MAX) + " (type " + std::to_string(st.volume_type) +
          ")",
      kText);
  if (st.track.empty()) {
    add("Track:        ", "none", kDim, true);
  } else {
    add("Track:        ", Fit(st.track, 28), kText, true);
    add("              ",
        MinutesSeconds(st.position_ms) + " / " + MinutesSeconds(st.length_ms) +
            (st.track_playing ? "  playing" : "  halted"),
        st.track_playing ? kGreen : kDim);
  }
  add("Clock:        ", MinutesSeconds(st.clock_ms) + (st.sound ? " (sound)" : " (silent)"), kDim);
  AddLyricsLines(st.lyrics, &lines);
  add("", "F1 key map   F5 lock   F6 call", kDim, true);
  add("", "F7 idle/other   F12 screenshot", kDim);
  if (!st.pointer.empty()) add("Mouse on:     ", st.pointer, kTitle);
  return lines;
}

int KeyMapHeight() {
  int h = kMargin;
  for (int i = 0; kKeyHelp[i].text != nullptr; ++i) h += kLine + (kKeyHelp[i].heading && i > 0 ? kHeadingGap : 0);
  return h;
}

int PanelTextX() {
  return kMargin;
}

}  // namespace zqsim
