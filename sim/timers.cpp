// SPDX-License-Identifier: MIT
// Application timers: one per application. Starting a timer replaces the
// one that runs; a cyclical timer is rescheduled from its own deadline so
// that it does not drift with the dispatch.
#include <stdint.h>

#include "sim/framework.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

uint32_t DeadlineAfter(uint32_t from, uint32_t period) {
  uint64_t d = static_cast<uint64_t>(from) + period;
  return d >= UINT32_MAX ? UINT32_MAX - 1 : static_cast<uint32_t>(d);
}

uint32_t Start(uint32_t period, uint32_t id, APPLICATION_T* rec, bool cyclical) {
  App* app = AppByRecord(rec);
  if (!app || app->slot != Slot::kRunning) return 1;
  app->timer_on = true;
  app->timer_cyclical = cyclical;
  app->timer_id = id;
  app->timer_period = period;
  app->timer_deadline = DeadlineAfter(NowMs(), period);
  return 0;
}

}  // namespace

uint32_t EarliestTimerDeadline() {
  uint32_t best = UINT32_MAX;
  for (int i = 0; i < kMaxApps; ++i) {
    App* a = AppAt(i);
    if (a->slot == Slot::kRunning && a->timer_on && a->timer_deadline < best) best = a->timer_deadline;
  }
  return best;
}

void FireDueTimers(uint32_t now) {
  App* apps[kMaxApps];
  int n = RunningInStartOrder(apps, kMaxApps);
  // Deadline order, ties in start order (the list is already in start order,
  // and the sort below is stable).
  for (int i = 1; i < n; ++i)
    for (int j = i; j > 0 && apps[j - 1]->timer_deadline > apps[j]->timer_deadline; --j) {
      App* t = apps[j];
      apps[j] = apps[j - 1];
      apps[j - 1] = t;
    }
  for (int i = 0; i < n; ++i) {
    App* a = apps[i];
    if (!a->timer_on || a->timer_deadline > now) continue;
    TIMER_ATTACH_T attach{0, a->timer_id};
    if (a->timer_cyclical) {
      // A period of 0 would never let the clock move on.
      a->timer_deadline = DeadlineAfter(a->timer_deadline, a->timer_period ? a->timer_period : 1);
    } else {
      a->timer_on = false;
    }
    QueueToApp(a->serial, EV_TIMER_EXPIRED, &attach, sizeof(attach));
  }
}

}  // namespace sim::fw

ZQ_EXTERN_C uint32_t APP_UtilStartTimer(uint32_t period_ms, uint32_t id, APPLICATION_T* app) {
  return sim::fw::Start(period_ms, id, app, false);
}

ZQ_EXTERN_C uint32_t APP_UtilStartCyclicalTimer(uint32_t period_ms, uint32_t id, APPLICATION_T* app) {
  return sim::fw::Start(period_ms, id, app, true);
}

ZQ_EXTERN_C uint32_t APP_UtilStopTimer(APPLICATION_T* rec) {
  sim::fw::App* app = sim::fw::AppByRecord(rec);
  if (!app) return 1;
  app->timer_on = false;
  return 0;
}
