// Key scripts: timed steps, one per line.
//
//   wait MS            let MS milliseconds of virtual time pass
//   press K            press key K (hex like 0x2F, or decimal)
//   release K          release key K
//   tap K              press, then release at once
//   hold K MS          press, wait MS, release
//   lock on|off        keypad lock
//   call on|off        voice call
//   front idle|other   what is in front while the player's screen is hidden
//   shot NAME          screenshot NAME.png and its checksum in the trace
//   key NAME [MS]      a keyboard key of the window by its name ("F5", "Up",
//                      "PageDown", "*"), held MS (default 0): the simulator
//                      keys F5, F6, F7, F12 and the phone keys as mapped
//   end                the run ends here
//
// "#" starts a comment; blank lines are ignored. A script with any bad line
// is refused as a whole, so that nothing of it runs.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqsim {

struct Step {
  enum class Kind : uint8_t { Wait, Press, Release, Tap, Hold, Lock, Call, Front, Shot, End, Key, KeyDown, KeyUp };
  Kind kind;
  uint8_t key = 0;      // Press, Release, Tap, Hold
  uint32_t ms = 0;      // Wait, Hold, Key
  int32_t keycode = 0;  // Key: the keyboard key (an SDL key code)
  bool on = false;      // Lock, Call; Front: true = another application
  std::string name;     // Shot
  int line = 0;         // 1-based line of the script
};

struct ScriptError {
  int line = 0;  // 1-based; 0 when the file itself cannot be read
  std::string message;
};

// Parses script text. On failure `steps` is left untouched and `error` says
// which line is wrong and why.
bool parse_script(const std::string& text, std::vector<Step>* steps, ScriptError* error);
// Reads and parses a script file.
bool load_script(const char* path, std::vector<Step>* steps, ScriptError* error);

// Longest wait or hold a step may ask for: one day of virtual time.
constexpr uint32_t kMaxStepMs = 24u * 60 * 60 * 1000;

}  // namespace zqsim
