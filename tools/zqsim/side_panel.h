// SPDX-License-Identifier: MIT
// The panel beside the phone's screen: the phone's state as the stand-in
// sees it, or the key map.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/audio.h"
#include "tools/zqsim/lyrics_facts.h"
#include "tools/zqsim/panel_font.h"

namespace zqsim {

struct PanelState {
  uint8_t indicator = 0;  // 0 none, 1 playing, 2 paused
  bool keypad_locked = false;
  bool voice_call = false;
  bool front_other = false;    // another application rather than the idle screen
  bool player_hidden = false;  // the player's screen is not shown
  bool program_running = true;
  uint8_t volume = 0;
  uint8_t volume_type = AUD_VOLUME_TYPE_DEFAULT;
  std::string track;  // UTF-8, empty when there is no playback object
  bool track_playing = false;
  uint32_t position_ms = 0;
  uint32_t length_ms = 0;
  uint32_t clock_ms = 0;
  bool sound = false;   // real sound, or silent on the wall clock
  LyricsFacts lyrics;   // the current track's
  std::string pointer;  // the phone key under the mouse pointer, described; empty for none
};

constexpr int kPanelWidth = 360;

// The window is at least this high, so that the key map fits.
constexpr int kMinWindowHeight = 480;

// One line of the state panel: a dim label (empty for a line of text only)
// and its value.
struct PanelLine {
  std::string label;
  std::string value;
  uint32_t color;
  bool gap_before;  // half a line of space above it
};
std::vector<PanelLine> PanelLines(const PanelState& state);

// Pixels from the panel's top to below the key map's last line.
int KeyMapHeight();
// Where lines of text start, from the panel's left edge.
int PanelTextX();

// Paints the panel into an RGB buffer of kPanelWidth x `height`.
void DrawSidePanel(uint8_t* rgb, int height, const PanelFont& font, const PanelState& state, bool help);

// "m:ss" for a time in milliseconds.
std::string MinutesSeconds(uint32_t ms);

}  // namespace zqsim
