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

uint32_t next_due() {
  uint32_t t = fw::earliest_timer_deadline();
  uint32_t media = internal::media_next_deadline();
  return media < t ? media : t;
}

}  // namespace

void reset() {
  // The observer goes too: its context may belong to a test that has ended.
  m.observer = nullptr;
  m.observer_ctx = nullptr;
  internal::framework_reset();
  internal::media_reset();
  internal::memory_reset();
  internal::fs_reset();
  internal::canvas_reset();
  internal::firmware_memory_reset();
}

uint32_t now_ms() {
  return m.now;
}

void advance(uint32_t ms) {
  run_pending();
  uint64_t target64 = static_cast<uint64_t>(m.now) + ms;
  uint32_t target = target64 >= UINT32_MAX ? UINT32_MAX - 1 : static_cast<uint32_t>(target64);
  uint32_t steps_here = 0;
  for (;;) {
    uint32_t t = next_due();
    if (t == UINT32_MAX || t > target) break;
    if (t > m.now) {
      m.now = t;
      steps_here = 0;
    } else if (++steps_here > kMaxStepsAtOneTime) {
      fw::report("advance", "something falls due again and again without the clock moving; stopped");
      break;
    }
    fw::fire_due_timers(m.now);
    internal::media_run_until(m.now);
    run_pending();
  }
  m.now = target;
  internal::media_run_until(m.now);
  run_pending();
}

void set_observer(Observer observer, void* ctx) {
  m.observer = observer;
  m.observer_ctx = ctx;
}

namespace internal {

void framework_reset() {
  fw::loader_reset();
  fw::apps_reset();
  fw::queue_reset();
  fw::keys_reset();
  fw::phone_reset();
  fw::audio_reset();
  fw::feature_db_reset();
  fw::status_indicator_reset();
  m.now = 0;
}

void emit(Fact fact, uint32_t value, const char* text) {
  if (m.observer) m.observer(fact, value, text, m.observer_ctx);
}

}  // namespace internal
}  // namespace sim

namespace sim::fw {

void report(const char* what, const char* detail) {
  static const char kPrefix[] = "zq_sim: ";
  port::write_err(kPrefix, sizeof(kPrefix) - 1);
  if (what) port::write_err(what, text_length(what));
  port::write_err(": ", 2);
  if (detail) port::write_err(detail, text_length(detail));
  port::write_err("\n", 1);
}

}  // namespace sim::fw
