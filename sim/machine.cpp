// SPDX-License-Identifier: MIT
// The machine as a whole: reset, the virtual clock and its advance loop, and
// the observer that sees what the stand-in does.
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace sim {
namespace {

// A clock that cannot move on because something falls due at the same time
// again and again (a one-shot timer of 0 ms restarted by its own handler).
constexpr uint32_t kMaxStepsAtOneTime = 100000;

struct Machine {
  uint32_t now;
  Observer observer;
  void* observer_ctx;
};

Machine m;

uint32_t NextDue() {
  uint32_t t = fw::EarliestTimerDeadline();
  uint32_t media = internal::MediaNextDeadline();
  return media < t ? media : t;
}

}  // namespace

void Reset() {
  // The observer goes too: its context may belong to a test that has ended.
  m.observer = nullptr;
  m.observer_ctx = nullptr;
  internal::FrameworkReset();
  internal::MediaReset();
  internal::MemoryReset();
  internal::FsReset();
  internal::CanvasReset();
  internal::FirmwareMemoryReset();
}

uint32_t NowMs() {
  return m.now;
}

void Advance(uint32_t ms) {
  RunPending();
  uint64_t target64 = static_cast<uint64_t>(m.now) + ms;
  uint32_t target = target64 >= UINT32_MAX ? UINT32_MAX - 1 : static_cast<uint32_t>(target64);
  uint32_t steps_here = 0;
  for (;;) {
    uint32_t t = NextDue();
    if (t == UINT32_MAX || t > target) break;
    if (t > m.now) {
      m.now = t;
      steps_here = 0;
    } else if (++steps_here > kMaxStepsAtOneTime) {
      fw::Report("advance", "something falls due again and again without the clock moving; stopped");
      break;
    }
    fw::FireDueTimers(m.now);
    internal::MediaRunUntil(m.now);
    RunPending();
  }
  m.now = target;
  internal::MediaRunUntil(m.now);
  RunPending();
}

void SetObserver(Observer observer, void* ctx) {
  m.observer = observer;
  m.observer_ctx = ctx;
}

namespace internal {

void FrameworkReset() {
  fw::LoaderReset();
  fw::AppsReset();
  fw::QueueReset();
  fw::KeysReset();
  fw::PhoneReset();
  fw::AudioReset();
  fw::FeatureDbReset();
  fw::StatusIndicatorReset();
  m.now = 0;
}

void Emit(Fact fact, uint32_t value, const char* text) {
  if (m.observer) m.observer(fact, value, text, m.observer_ctx);
}

}  // namespace internal
}  // namespace sim

namespace sim::fw {

void Report(const char* what, const char* detail) {
  static const char kPrefix[] = "zq_sim: ";
  port::WriteErr(kPrefix, sizeof(kPrefix) - 1);
  if (what) port::WriteErr(what, TextLength(what));
  port::WriteErr(": ", 2);
  if (detail) port::WriteErr(detail, TextLength(detail));
  port::WriteErr("\n", 1);
}

}  // namespace sim::fw
