// SPDX-License-Identifier: MIT
// Runs a key script's steps against the stand-in, on its clock: the same
// runner serves headless runs (the runner's waits move the virtual clock)
// and the window (waits end when the clock, which follows the sound or the
// wall clock there, has moved far enough).
#pragma once

#include <stdint.h>

#include "drive/callback.h"
#include "drive/key_script.h"
#include "drive/trace.h"
#include "sim/port_array.h"

namespace drive {

class ScriptRunner {
 public:
  // `shot` takes the screenshot name; `keyboard` a keyboard key going down
  // or up (the front end's keyboard). The runner does the rest itself and
  // writes the phone's changes (lock, call, front) to `trace` when given.
  struct Hooks {
    Callback<void(const char* name)> shot;
    Callback<void(const KeyboardKey& key, bool down)> keyboard;
  };
  // `script` must outlive the runner.
  ScriptRunner(const Script& script, Hooks hooks, Trace* trace = nullptr);
  ~ScriptRunner() { actions_.Release(); }
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Performs every step that is due at `now_ms`. Returns true while steps
  // remain; *wake_ms is then when the pending wait ends.
  bool RunDue(uint32_t now_ms, uint32_t* wake_ms);

  bool Finished() const { return next_ >= actions_.Size(); }

 private:
  // Tap, Hold and Key are split into their press, wait and release.
  struct Action {
    Step::Kind kind;
    uint32_t ms;
    const Step* step;
  };
  void Add(Step::Kind kind, uint32_t ms, const Step& step);
  void Perform(const Action& a);

  sim::PortArray<Action> actions_{};
  uint32_t next_ = 0;
  bool waiting_ = false;
  uint32_t wake_ms_ = 0;
  Hooks hooks_;
  Trace* trace_;
};

}  // namespace drive
