// Runs a key script's steps against the stand-in, on its clock: the same
// runner serves headless runs (the runner's waits move the virtual clock)
// and the window (waits end when the clock, which follows the sound or the
// wall clock there, has moved far enough).
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/zqsim/key_script.h"
#include "tools/zqsim/trace.h"

namespace zqsim {

class ScriptRunner {
 public:
  // `shot` takes the screenshot name; `keyboard` a keyboard key going down
  // or up (the window's key handling); the runner does the rest itself and
  // writes the phone's changes (lock, call, front) to `trace` when given.
  using KeyboardKey = std::function<void(int32_t keycode, bool down)>;
  ScriptRunner(const std::vector<Step>& steps, std::function<void(const std::string&)> shot, Trace* trace = nullptr,
               KeyboardKey keyboard = nullptr);

  // Performs every step that is due at `now_ms`. Returns true while steps
  // remain; *wake_ms is then when the pending wait ends.
  bool run_due(uint32_t now_ms, uint32_t* wake_ms);

  bool finished() const { return next_ >= actions_.size(); }

 private:
  struct Action {
    Step::Kind kind;  // Tap and Hold are split into Press, Wait, Release
    uint8_t key;
    uint32_t ms;
    int32_t keycode;
    bool on;
    std::string name;
  };
  std::vector<Action> actions_;
  size_t next_ = 0;
  bool waiting_ = false;
  uint32_t wake_ms_ = 0;
  std::function<void(const std::string&)> shot_;
  Trace* trace_;
  KeyboardKey keyboard_;
};

}  // namespace zqsim
