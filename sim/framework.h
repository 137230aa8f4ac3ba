// SPDX-License-Identifier: MIT
// What the stand-in's application framework shares between its own files:
// the application table (apps.cpp), the event queue and dispatch
// (event_queue.cpp), the timers (timers.cpp), key delivery (keys.cpp), the
// phone state (phone_state.cpp), the engine (media_engine.cpp) and the loader
// (loader.cpp). Nothing here is seen by the program or by the driver.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/framework.h"
#include "sim/driver.h"

namespace sim::fw {

constexpr int kMaxApps = 8;
constexpr size_t kRecordBytes = 256;  // largest application record handed out
constexpr size_t kAttachBytes = 64;   // attachment bytes an event carries

enum class Slot : uint8_t { kFree, kAllocated, kRunning, kExited };

struct App {
  Slot slot;
  bool prepost;  // dispatch is APP_HandleEventPrepost
  uint32_t reg_id;
  uint32_t start_code;
  uint32_t port;
  uint32_t serial;  // start order; events name their target by it
  APP_DISPATCH_T dispatch;
  const STATE_HANDLERS_ENTRY_T* table;
  uint32_t nstates;
  EVENT_HANDLER_T destroy;
  uint32_t state;
  char name[16];
  bool timer_on;
  bool timer_cyclical;
  uint32_t timer_id;
  uint32_t timer_period;
  uint32_t timer_deadline;
  alignas(16) uint8_t record[kRecordBytes];
};

// ---- apps.cpp
void AppsReset();
App* AppAt(int index);                 // slot 0..kMaxApps-1
App* AppByRecord(const void* record);  // a slot that is allocated, running or exited
App* AppBySerial(uint32_t serial);     // running only
// Running applications in start order; returns the count written.
int RunningInStartOrder(App** out, int max);
// The shell: the most recently started running application with the plain
// dispatch, or null.
App* RunningShell();
// Leaves the routing stack without running anything of the program.
void EndAppSilently(App* app);
// Frees records of applications that exited; called once a dispatch has
// ended, when no handler can still touch them.
void FreeExited();
void ClearRegistrations();
// Looks up the handler of `code` in the app's current state, then in the
// any-state list; null when there is none.
EVENT_HANDLER_T FindHandler(const App* app, uint32_t code);

// ---- event_queue.cpp
void QueueReset();
// Queues an event for one running application; false when the queue is full.
bool QueueToApp(uint32_t serial, uint32_t code, const void* attachment, size_t size);
// Queues a key press or release that runs the key chain when dispatched;
// returns a ticket that key_result() answers for.
uint32_t QueueKey(uint8_t key, bool release);
bool TakeKeyResult(uint32_t ticket, KeyResult* out);
// Dispatches one event to one application; true when it consumed it.
bool Deliver(App* app, uint32_t code, uint8_t key, const void* attachment, size_t size);
// Takes the next queued event and dispatches it; false when none is queued.
bool DispatchNext();
size_t QueuedEvents();
bool Dispatching();
void DropQueue();
EVENT_STACK_T* EventStack();
// The code of the event being handled, 0 when none is.
uint32_t DispatchingEvent();

// ---- keys.cpp
void KeysReset();
KeyResult RunKeyChain(uint8_t key, bool release);

// ---- timers.cpp
uint32_t EarliestTimerDeadline();  // UINT32_MAX when none runs
void FireDueTimers(uint32_t now);

// ---- phone_state.cpp, audio.cpp, feature_db.cpp, status_indicator.cpp
void PhoneReset();
void AudioReset();
void FeatureDbReset();
void StatusIndicatorReset();

// ---- media_engine.cpp
void MediaDeleteAll();

// ---- loader.cpp
void LoaderReset();
// Finishes an unload the image asked for, once control is back with the
// stand-in; true when one was pending.
bool FinishPendingUnload();

// ---- machine.cpp
void Report(const char* what, const char* detail);  // one line on stderr

}  // namespace sim::fw
