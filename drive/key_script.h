// SPDX-License-Identifier: MIT
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
//   fail alloc N       the program's N-th memory request from now fails
//   end                the run ends here
//
// "#" starts a comment; blank lines are ignored. A script with any bad line
// is refused as a whole, so that nothing of it runs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "drive/keyboard.h"
#include "drive/text.h"
#include "sim/port_array.h"

namespace drive {

// Longest wait or hold a step may ask for: one day of virtual time.
constexpr uint32_t kMaxStepMs = 24u * 60 * 60 * 1000;
// Longest screenshot name.
constexpr size_t kMaxShotName = 64;

struct Step {
  enum class Kind : uint8_t {
    kWait,
    kPress,
    kRelease,
    kTap,
    kHold,
    kLock,
    kCall,
    kFront,
    kShot,
    kEnd,
    kKey,
    kKeyDown,
    kKeyUp,
    kFailAlloc
  };
  Kind kind;
  uint8_t key;                  // Press, Release, Tap, Hold
  uint32_t ms;                  // Wait, Hold, Key
  uint32_t count;               // FailAlloc: which request fails (1 = the next)
  const KeyboardKey* keyboard;  // Key
  bool on;                      // Lock, Call; Front: true = another application
  char name[kMaxShotName + 1];  // Shot
  int line;                     // 1-based line of the script
};

// The steps of a script, in order.
class Script {
 public:
  Script() = default;
  ~Script() { steps_.Release(); }
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  size_t Size() const { return steps_.Size(); }
  bool Empty() const { return Size() == 0; }
  const Step& operator[](size_t i) const { return steps_[static_cast<uint32_t>(i)]; }

 private:
  friend bool ParseScript(const char*, size_t, Script*, struct ScriptError*);
  sim::PortArray<Step> steps_{};
};

struct ScriptError {
  int line = 0;  // 1-based; 0 when the file itself cannot be read
  Text message;
};

// Parses script text. On failure `script` is left untouched and `error` says
// which line is wrong and why.
bool ParseScript(const char* text, size_t length, Script* script, ScriptError* error);
// Reads and parses a script file.
bool LoadScript(const char* path, Script* script, ScriptError* error);
// The same, saying on stderr why a script is refused, in one line:
// "<program>: PATH:LINE: why", or "<program>: why" when it cannot be read.
bool LoadScriptOrSay(const char* program, const char* path, Script* script);

}  // namespace drive
