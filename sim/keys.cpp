// SPDX-License-Identifier: MIT
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
int PrepostSerials(uint32_t* out) {
  App* apps[kMaxApps];
  int n = RunningInStartOrder(apps, kMaxApps);
  int m = 0;
  for (int i = 0; i < n; ++i)
    if (apps[i]->prepost) out[m++] = apps[i]->serial;
  return m;
}

}  // namespace

void KeysReset() {
  ZeroBytes(&k, sizeof(k));
}

KeyResult RunKeyChain(uint8_t key, bool release) {
  uint32_t serials[kMaxApps];
  int n = PrepostSerials(serials);
  for (int i = 0; i < n; ++i) {
    App* app = AppBySerial(serials[i]);
    if (app && Deliver(app, release ? EV_KEY_RELEASE : EV_KEY_PRESS, key, nullptr, 0))
      return KeyResult{true, KeyTaker::kPlayer};
  }
  if (release) return KeyResult{false, KeyTaker::kPhone};
  // The shell sees the key only when nothing covers it: a call screen does.
  if (!internal::VoiceCallActive()) {
    if (App* shell = RunningShell())
      if (Deliver(shell, EV_SHELL_KEY, key, nullptr, 0)) return KeyResult{true, KeyTaker::kShell};
  }
  return KeyResult{false, KeyTaker::kPhone};
}

}  // namespace sim::fw

namespace sim {
namespace {

KeyResult KeyNow(uint8_t key, bool release) {
  uint32_t ticket = fw::QueueKey(key, release);
  RunPending();
  KeyResult r{false, KeyTaker::kPhone};
  fw::TakeKeyResult(ticket, &r);
  return r;
}

}  // namespace

KeyResult Press(uint8_t key) {
  return KeyNow(key, false);
}
KeyResult Release(uint8_t key) {
  return KeyNow(key, true);
}

size_t TakeInjectedKeys(InjectedKey* out, size_t max) {
  if (!out) return 0;
  size_t n = fw::k.count < max ? fw::k.count : max;
  fw::MoveBytes(out, fw::k.injected, n * sizeof(InjectedKey));
  fw::MoveBytes(fw::k.injected, fw::k.injected + n, (fw::k.count - n) * sizeof(InjectedKey));
  fw::k.count -= n;
  return n;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t DL_KeyInjectKeyPress(uint8_t key, uint8_t release, uint8_t) {
  using sim::fw::k;
  if (sim::fw::QueueKey(key, release != KEY_INJECT_PRESS) == 0) return 1;
  // The record keeps the newest keys: a long run that nobody reads from
  // (the program injects two keys a second) drops the oldest.
  if (k.count == sim::fw::kMaxInjected) {
    sim::fw::MoveBytes(k.injected, k.injected + 1, (k.count - 1) * sizeof(sim::InjectedKey));
    --k.count;
  }
  k.injected[k.count++] = sim::InjectedKey{key, release != KEY_INJECT_PRESS};
  return 0;
}
