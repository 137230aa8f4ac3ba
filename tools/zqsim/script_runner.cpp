#include "tools/zqsim/script_runner.h"

#include "sim/driver.h"
#include "tools/zqsim/session.h"

namespace zqsim {

ScriptRunner::ScriptRunner(const std::vector<Step>& steps, std::function<void(const std::string&)> shot)
    : shot_(std::move(shot)) {
  using K = Step::Kind;
  for (const Step& s : steps) {
    switch (s.kind) {
      case K::Tap:
        actions_.push_back({K::Press, s.key, 0, false, {}});
        actions_.push_back({K::Release, s.key, 0, false, {}});
        break;
      case K::Hold:
        actions_.push_back({K::Press, s.key, 0, false, {}});
        actions_.push_back({K::Wait, 0, s.ms, false, {}});
        actions_.push_back({K::Release, s.key, 0, false, {}});
        break;
      default:
        actions_.push_back({s.kind, s.key, s.ms, s.on, s.name});
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
        sim::set_keypad_lock(a.on);
        break;
      case K::Call:
        sim::set_voice_call(a.on);
        break;
      case K::Front:
        sim::set_front(a.on ? sim::Front::Other : sim::Front::Idle);
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
