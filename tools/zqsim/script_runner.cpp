#include "tools/zqsim/script_runner.h"

#include "sim/driver.h"
#include "tools/zqsim/session.h"

namespace zqsim {

ScriptRunner::ScriptRunner(const std::vector<Step>& steps, std::function<void(const std::string&)> shot, Trace* trace,
                           KeyboardKey keyboard)
    : shot_(std::move(shot)), trace_(trace), keyboard_(std::move(keyboard)) {
  using K = Step::Kind;
  for (const Step& s : steps) {
    switch (s.kind) {
      case K::Tap:
        actions_.push_back({K::Press, s.key, 0, 0, false, {}});
        actions_.push_back({K::Release, s.key, 0, 0, false, {}});
        break;
      case K::Hold:
        actions_.push_back({K::Press, s.key, 0, 0, false, {}});
        actions_.push_back({K::Wait, 0, s.ms, 0, false, {}});
        actions_.push_back({K::Release, s.key, 0, 0, false, {}});
        break;
      case K::Key:
        actions_.push_back({K::KeyDown, 0, 0, s.keycode, false, {}});
        if (s.ms > 0) actions_.push_back({K::Wait, 0, s.ms, 0, false, {}});
        actions_.push_back({K::KeyUp, 0, 0, s.keycode, false, {}});
        break;
      default:
        actions_.push_back({s.kind, s.key, s.ms, 0, s.on, s.name});
        break;
    }
  }
}

bool ScriptRunner::run_due(uint32_t now_ms, uint32_t* wake_ms) {
  using K = Step::Kind;
  while (next_ < actions_.size()) {
    const Action& a = actions_[next_];
    if (a.kind == K::Wait) {
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
    switch (a.kind) {
      case K::Press:
        sim::press(a.key);
        break;
      case K::Release:
        sim::release(a.key);
        break;
      case K::Lock:
        set_keypad_lock(a.on, trace_);
        break;
      case K::Call:
        set_voice_call(a.on, trace_);
        break;
      case K::Front:
        set_front_other(a.on, trace_);
        break;
      case K::KeyDown:
      case K::KeyUp:
        if (keyboard_) keyboard_(a.keycode, a.kind == K::KeyDown);
        break;
      case K::Shot:
        shot_(a.name);
        break;
      case K::End:
        next_ = actions_.size();
        break;
      default:
        break;
    }
    // The program may have ended itself in answer to the step.
    if (sim::unload_requested()) next_ = actions_.size();
  }
  return false;
}

}  // namespace zqsim
