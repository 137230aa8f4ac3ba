#include "drive/script_runner.h"

#include "sim/driver.h"

namespace drive {

ScriptRunner::ScriptRunner(const Script& script, Hooks hooks, Trace* trace) : hooks_(hooks), trace_(trace) {
  using K = Step::Kind;
  for (size_t i = 0; i < script.size(); ++i) {
    const Step& s = script[i];
    switch (s.kind) {
      case K::Tap:
        add(K::Press, 0, s);
        add(K::Release, 0, s);
        break;
      case K::Hold:
        add(K::Press, 0, s);
        add(K::Wait, s.ms, s);
        add(K::Release, 0, s);
        break;
      case K::Key:
        add(K::KeyDown, 0, s);
        if (s.ms > 0) add(K::Wait, s.ms, s);
        add(K::KeyUp, 0, s);
        break;
      default:
        add(s.kind, s.ms, s);
        break;
    }
  }
}

void ScriptRunner::add(Step::Kind kind, uint32_t ms, const Step& step) {
  Action* a = actions_.append(1);
  // Without memory for the whole script, the run ends where it could not go
  // on: the steps before it still run, in order.
  if (a == nullptr) {
    Action* last = actions_.size() > 0 ? &actions_[actions_.size() - 1] : nullptr;
    if (last != nullptr) *last = Action{Step::Kind::End, 0, &step};
    return;
  }
  *a = Action{kind, ms, &step};
}

void ScriptRunner::perform(const Action& a) {
  using K = Step::Kind;
  const Step& s = *a.step;
  switch (a.kind) {
    case K::Press:
      sim::press(s.key);
      break;
    case K::Release:
      sim::release(s.key);
      break;
    case K::Lock:
      set_keypad_lock(s.on, trace_);
      break;
    case K::Call:
      set_voice_call(s.on, trace_);
      break;
    case K::Front:
      set_front_other(s.on, trace_);
      break;
    case K::KeyDown:
    case K::KeyUp:
      if (s.keyboard != nullptr) hooks_.keyboard(*s.keyboard, a.kind == K::KeyDown);
      break;
    case K::Shot:
      hooks_.shot(s.name);
      break;
    case K::FailAlloc:
      sim::fail_allocation(s.count);
      break;
    case K::End:
      next_ = actions_.size();
      break;
    default:
      break;
  }
}

bool ScriptRunner::run_due(uint32_t now_ms, uint32_t* wake_ms) {
  while (next_ < actions_.size()) {
    const Action& a = actions_[next_];
    if (a.kind == Step::Kind::Wait) {
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
    perform(a);
    // The program may have ended itself in answer to the step.
    if (sim::unload_requested()) next_ = actions_.size();
  }
  return false;
}

}  // namespace drive
