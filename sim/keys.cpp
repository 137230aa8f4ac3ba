// Key delivery: the chain a key press takes through the applications, and
// keys the program injects.
#include "platform/keypad.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

constexpr size_t kMaxInjected = 64;

struct Keys {
  InjectedKey injected[kMaxInjected];
  size_t count;
};

Keys k;

// The applications that take keys in every state, whether or not they are in
// front (the pre-post dispatch), by serial: a handler may end one of them.
int prepost_serials(uint32_t* out) {
  App* apps[kMaxApps];
  int n = running_in_start_order(apps, kMaxApps);
  int m = 0;
  for (int i = 0; i < n; ++i)
    if (apps[i]->prepost) out[m++] = apps[i]->serial;
  return m;
}

}  // namespace

void keys_reset() {
  zero_bytes(&k, sizeof(k));
}

KeyResult run_key_chain(uint8_t key, bool release) {
  uint32_t serials[kMaxApps];
  int n = prepost_serials(serials);
  for (int i = 0; i < n; ++i) {
    App* app = app_by_serial(serials[i]);
    if (app && deliver(app, release ? EV_KEY_RELEASE : EV_KEY_PRESS, key, nullptr, 0))
      return KeyResult{true, KeyTaker::Player};
  }
  if (release) return KeyResult{false, KeyTaker::Phone};
  // The shell sees the key only when nothing covers it: a call screen does.
  if (!internal::voice_call_active()) {
    if (App* shell = running_shell())
      if (deliver(shell, EV_SHELL_KEY, key, nullptr, 0)) return KeyResult{true, KeyTaker::Shell};
  }
  return KeyResult{false, KeyTaker::Phone};
}

}  // namespace sim::fw

namespace sim {
namespace {

KeyResult key_now(uint8_t key, bool release) {
  uint32_t ticket = fw::queue_key(key, release);
  run_pending();
  KeyResult r{false, KeyTaker::Phone};
  fw::key_result(ticket, &r);
  return r;
}

}  // namespace

KeyResult press(uint8_t key) {
  return key_now(key, false);
}
KeyResult release(uint8_t key) {
  return key_now(key, true);
}

size_t take_injected_keys(InjectedKey* out, size_t max) {
  if (!out) return 0;
  size_t n = fw::k.count < max ? fw::k.count : max;
  fw::move_bytes(out, fw::k.injected, n * sizeof(InjectedKey));
  fw::move_bytes(fw::k.injected, fw::k.injected + n, (fw::k.count - n) * sizeof(InjectedKey));
  fw::k.count -= n;
  return n;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t DL_KeyInjectKeyPress(uint8_t key, uint8_t release, uint8_t) {
  using sim::fw::k;
  if (sim::fw::queue_key(key, release != KEY_INJECT_PRESS) == 0) return 1;
  // The record keeps the newest keys: a long run that nobody reads from
  // (the program injects two keys a second) drops the oldest.
  if (k.count == sim::fw::kMaxInjected) {
    sim::fw::move_bytes(k.injected, k.injected + 1, (k.count - 1) * sizeof(sim::InjectedKey));
    --k.count;
  }
  k.injected[k.count++] = sim::InjectedKey{key, release != KEY_INJECT_PRESS};
  return 0;
}
