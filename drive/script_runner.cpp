// SPDX-License-Identifier: MIT
#include "drive/script_runner.h"

#include "sim/driver.h"

namespace drive {

ScriptRunner::ScriptRunner(const Script& script, Hooks hooks, Trace* trace) : hooks_(hooks), trace_(trace) {
  using K = Step::Kind;
  for (size_t i = 0; i < script.Size(); ++i) {
    const Step& s = script[i];
    switch (s.kind) {
      case K::kTap:
        Add(K::kPress, 0, s);
        Add(K::kRelease, 0, s);
        break;
      case K::kHold:
        Add(K::kPress, 0, s);
        Add(K::kWait, s.ms, s);
        Add(K::kRelease, 0, s);
        break;
      case K::kKey:
        Add(K::kKeyDown, 0, s);
        if (s.ms > 0) Add(K::kWait, s.ms, s);
        Add(K::kKeyUp, 0, s);
        break;
      default:
        Add(s.kind, s.ms, s);
        break;
    }
  }
}

void ScriptRunner::Add(Step::Kind kind, uint32_t ms, const Step& step) {
  Action* a = actions_.Append(1);
  // Without memory for the whole script, the run ends where it could not go
  // on: the steps before it still run, in order.
  if (a == nullptr) {
    Action* items = actions_.Data();
    Action* last = items != nullptr && actions_.Size() > 0 ? &items[actions_.Size() - 1] : nullptr;
    if (last != nullptr) *last = Action{Step::Kind::kEnd, 0, &step};
    return;
  }
  *a = Action{kind, ms, &step};
}

void ScriptRunner::Perform(const Action& a) {
  using K = Step::Kind;
  const Step& s = *a.step;
  switch (a.kind) {
    case K::kPress:
      sim::Press(s.key);
      break;
    case K::kRelease:
      sim::Release(s.key);
      break;
    case K::kLock:
      SetKeypadLock(s.on, trace_);
      break;
    case K::kCall:
      SetVoiceCall(s.on, trace_);
      break;
    case K::kFront:
      SetFrontOther(s.on, trace_);
      break;
    case K::kKeyDown:
    case K::kKeyUp:
      if (s.keyboard != nullptr) hooks_.keyboard(*s.keyboard, a.kind == K::kKeyDown);
      break;
    case K::kShot:
      hooks_.shot(s.name);
      break;
    case K::kFailAlloc:
      sim::FailAllocation(s.count);
      break;
    case K::kEnd:
      next_ = actions_.Size();
      break;
    default:
      break;
  }
}

bool ScriptRunner::RunDue(uint32_t now_ms, uint32_t* wake_ms) {
  while (next_ < actions_.Size()) {
    const Action& a = actions_[next_];
    if (a.kind == Step::Kind::kWait) {
      if (!waiting_) {
        waiting_ = true;
        wake_ms_ = now_ms + a.ms;
      }
      if (now_ms < wake_ms_) {
        *wake_ms = wake_ms_;
        return true;
      }
      waiting_ = false;
      ++next_;
      continue;
    }
    ++next_;
    Perform(a);
    // The program may have ended itself in answer to the step.
    if (sim::UnloadRequested()) next_ = actions_.Size();
  }
  return false;
}

}  // namespace drive
