// SPDX-License-Identifier: MIT
// The framework's one event queue and its dispatch: events are delivered one
// at a time, each handler runs to its end, and whatever a handler queues runs
// after it, in the order it was queued.
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"

// The framework's event stack: the event being dispatched, with its own copy
// of the attachment, and whether a handler consumed it.
struct EVENT_STACK_T {
  EVENT_T event;
  uint32_t code;
  bool consumed;
  alignas(16) uint8_t attachment[sim::fw::kAttachBytes];
};

namespace sim::fw {
namespace {

constexpr int kQueueCapacity = 256;

enum class Kind : uint8_t { kToApp, kKeyPress, kKeyRelease };

struct Queued {
  Kind kind;
  uint8_t key;
  uint16_t size;
  uint32_t code;
  uint32_t serial;
  uint32_t ticket;
  alignas(16) uint8_t attachment[kAttachBytes];
};

struct Queue {
  Queued items[kQueueCapacity];
  int head;
  int count;
  bool dispatching;
  uint32_t next_ticket;
  uint32_t done_ticket;
  KeyResult done_result;
};

Queue q;
EVENT_STACK_T stack;

Queued* Push() {
  if (q.count == kQueueCapacity) {
    Report("event queue", "full: event dropped");
    return nullptr;
  }
  Queued* it = &q.items[(q.head + q.count) % kQueueCapacity];
  ZeroBytes(it, sizeof(*it));
  ++q.count;
  return it;
}

}  // namespace

void QueueReset() {
  ZeroBytes(&q, sizeof(q));
  ZeroBytes(&stack, sizeof(stack));
  q.next_ticket = 1;
}

EVENT_STACK_T* EventStack() {
  return &stack;
}
bool Dispatching() {
  return q.dispatching;
}
uint32_t DispatchingEvent() {
  return q.dispatching ? stack.code : 0;
}
size_t QueuedEvents() {
  return static_cast<size_t>(q.count);
}

void DropQueue() {
  q.head = 0;
  q.count = 0;
}

bool QueueToApp(uint32_t serial, uint32_t code, const void* attachment, size_t size) {
  if (size > kAttachBytes || (size > 0 && !attachment)) {
    Report("event queue", "attachment refused: too large or missing");
    return false;
  }
  Queued* it = Push();
  if (!it) return false;
  it->kind = Kind::kToApp;
  it->code = code;
  it->serial = serial;
  it->size = static_cast<uint16_t>(size);
  if (size) MoveBytes(it->attachment, attachment, size);
  return true;
}

uint32_t QueueKey(uint8_t key, bool release) {
  Queued* it = Push();
  if (!it) return 0;
  it->kind = release ? Kind::kKeyRelease : Kind::kKeyPress;
  it->key = key;
  it->ticket = q.next_ticket++;
  return it->ticket;
}

bool TakeKeyResult(uint32_t ticket, KeyResult* out) {
  if (ticket == 0 || q.done_ticket != ticket) return false;
  *out = q.done_result;
  return true;
}

bool Deliver(App* app, uint32_t code, uint8_t key, const void* attachment, size_t size) {
  ZeroBytes(&stack, sizeof(stack));
  stack.code = code;
  stack.event.key = key;
  if (attachment && size) MoveBytes(stack.attachment, attachment, size < kAttachBytes ? size : kAttachBytes);
  // Events without data still point at zeroed bytes, never at nothing.
  stack.event.attachment = stack.attachment;
  bool was = q.dispatching;
  q.dispatching = true;
  app->dispatch(&stack, reinterpret_cast<APPLICATION_T*>(app->record), 0, 0);
  q.dispatching = was;
  bool consumed = stack.consumed;
  internal::Emit(Fact::kEventDone, code, nullptr);
  return consumed;
}

bool DispatchNext() {
  if (q.count == 0) return false;
  // Copied out first: the handler may queue new events into this slot.
  Queued it = q.items[q.head];
  q.head = (q.head + 1) % kQueueCapacity;
  --q.count;
  if (it.kind == Kind::kToApp) {
    // An application that has exited gets nothing more.
    if (App* app = AppBySerial(it.serial)) Deliver(app, it.code, 0, it.attachment, it.size);
    return true;
  }
  KeyResult r = RunKeyChain(it.key, it.kind == Kind::kKeyRelease);
  q.done_ticket = it.ticket;
  q.done_result = r;
  return true;
}

}  // namespace sim::fw

namespace sim {

void RunPending() {
  if (fw::Dispatching()) return;  // a handler never runs the queue itself
  fw::FreeExited();
  fw::FinishPendingUnload();
  while (fw::DispatchNext()) {
    fw::FreeExited();
    fw::FinishPendingUnload();
  }
}

namespace internal {

bool PostToPort(uint32_t port, uint32_t code, const void* attachment, size_t size) {
  for (int i = 0; i < fw::kMaxApps; ++i) {
    fw::App* app = fw::AppAt(i);
    if (app->slot == fw::Slot::kRunning && app->port == port)
      return fw::QueueToApp(app->serial, code, attachment, size);
  }
  return false;
}

}  // namespace internal
}  // namespace sim

using namespace sim::fw;

namespace {

uint32_t HandleEvent(EVENT_STACK_T* ev_st, APPLICATION_T* rec) {
  App* app = AppByRecord(rec);
  if (!ev_st || !app || app->slot != Slot::kRunning) return 0;
  EVENT_HANDLER_T h = FindHandler(app, ev_st->code);
  return h ? h(ev_st, rec) : 0;
}

}  // namespace

// Both dispatch routines look the handler up the same way; what differs is
// which events reach the application at all, which the key chain and the
// routing decide before the dispatch routine is called.
ZQ_EXTERN_C uint32_t APP_HandleEvent(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t, uint32_t) {
  return HandleEvent(ev_st, app);
}

ZQ_EXTERN_C uint32_t APP_HandleEventPrepost(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t, uint32_t) {
  return HandleEvent(ev_st, app);
}

ZQ_EXTERN_C EVENT_T* AFW_GetEv(EVENT_STACK_T* ev_st) {
  return ev_st ? &ev_st->event : &stack.event;
}

ZQ_EXTERN_C uint32_t APP_ConsumeEv(EVENT_STACK_T* ev_st, APPLICATION_T*) {
  (ev_st ? ev_st : &stack)->consumed = true;
  return 0;
}

ZQ_EXTERN_C uint32_t AFW_CreateInternalQueuedEvAux(uint32_t code, uint32_t, uint32_t size, void* data) {
  if (size > kAttachBytes || (size > 0 && !data)) {
    Report("AFW_CreateInternalQueuedEvAux", "refused: attachment too large or missing");
    return 1;
  }
  App* apps[kMaxApps];
  int n = RunningInStartOrder(apps, kMaxApps);
  for (int i = 0; i < n; ++i) QueueToApp(apps[i]->serial, code, data, size);
  return 0;
}
