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

enum class Kind : uint8_t { ToApp, KeyPress, KeyRelease };

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

Queued* push() {
  if (q.count == kQueueCapacity) {
    report("event queue", "full: event dropped");
    return nullptr;
  }
  Queued* it = &q.items[(q.head + q.count) % kQueueCapacity];
  zero_bytes(it, sizeof(*it));
  ++q.count;
  return it;
}

}  // namespace

void queue_reset() {
  zero_bytes(&q, sizeof(q));
  zero_bytes(&stack, sizeof(stack));
  q.next_ticket = 1;
}

EVENT_STACK_T* event_stack() {
  return &stack;
}
bool dispatching() {
  return q.dispatching;
}
uint32_t dispatching_event() {
  return q.dispatching ? stack.code : 0;
}
size_t queued_events() {
  return static_cast<size_t>(q.count);
}

void drop_queue() {
  q.head = 0;
  q.count = 0;
}

bool queue_to_app(uint32_t serial, uint32_t code, const void* attachment, size_t size) {
  if (size > kAttachBytes || (size > 0 && !attachment)) {
    report("event queue", "attachment refused: too large or missing");
    return false;
  }
  Queued* it = push();
  if (!it) return false;
  it->kind = Kind::ToApp;
  it->code = code;
  it->serial = serial;
  it->size = static_cast<uint16_t>(size);
  if (size) move_bytes(it->attachment, attachment, size);
  return true;
}

uint32_t queue_key(uint8_t key, bool release) {
  Queued* it = push();
  if (!it) return 0;
  it->kind = release ? Kind::KeyRelease : Kind::KeyPress;
  it->key = key;
  it->ticket = q.next_ticket++;
  return it->ticket;
}

bool key_result(uint32_t ticket, KeyResult* out) {
  if (ticket == 0 || q.done_ticket != ticket) return false;
  *out = q.done_result;
  return true;
}

bool deliver(App* app, uint32_t code, uint8_t key, const void* attachment, size_t size) {
  zero_bytes(&stack, sizeof(stack));
  stack.code = code;
  stack.event.key = key;
  if (attachment && size) move_bytes(stack.attachment, attachment, size < kAttachBytes ? size : kAttachBytes);
  // Events without data still point at zeroed bytes, never at nothing.
  stack.event.attachment = stack.attachment;
  bool was = q.dispatching;
  q.dispatching = true;
  app->dispatch(&stack, reinterpret_cast<APPLICATION_T*>(app->record), 0, 0);
  q.dispatching = was;
  bool consumed = stack.consumed;
  internal::emit(Fact::EventDone, code, nullptr);
  return consumed;
}

bool dispatch_next() {
  if (q.count == 0) return false;
  // Copied out first: the handler may queue new events into this slot.
  Queued it = q.items[q.head];
  q.head = (q.head + 1) % kQueueCapacity;
  --q.count;
  if (it.kind == Kind::ToApp) {
    // An application that has exited gets nothing more.
    if (App* app = app_by_serial(it.serial)) deliver(app, it.code, 0, it.attachment, it.size);
    return true;
  }
  KeyResult r = run_key_chain(it.key, it.kind == Kind::KeyRelease);
  q.done_ticket = it.ticket;
  q.done_result = r;
  return true;
}

}  // namespace sim::fw

namespace sim {

void run_pending() {
  if (fw::dispatching()) return;  // a handler never runs the queue itself
  fw::free_exited();
  fw::finish_pending_unload();
  while (fw::dispatch_next()) {
    fw::free_exited();
    fw::finish_pending_unload();
  }
}

namespace internal {

bool post_to_port(uint32_t port, uint32_t code, const void* attachment, size_t size) {
  for (int i = 0; i < fw::kMaxApps; ++i) {
    fw::App* app = fw::app_at(i);
    if (app->slot == fw::Slot::Running && app->port == port)
      return fw::queue_to_app(app->serial, code, attachment, size);
  }
  return false;
}

}  // namespace internal
}  // namespace sim

using namespace sim::fw;

namespace {

uint32_t handle_event(EVENT_STACK_T* ev_st, APPLICATION_T* rec) {
  App* app = app_by_record(rec);
  if (!ev_st || !app || app->slot != Slot::Running) return 0;
  EVENT_HANDLER_T h = find_handler(app, ev_st->code);
  return h ? h(ev_st, rec) : 0;
}

}  // namespace

// Both dispatch routines look the handler up the same way; what differs is
// which events reach the application at all, which the key chain and the
// routing decide before the dispatch routine is called.
ZQ_EXTERN_C uint32_t APP_HandleEvent(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t, uint32_t) {
  return handle_event(ev_st, app);
}

ZQ_EXTERN_C uint32_t APP_HandleEventPrepost(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t, uint32_t) {
  return handle_event(ev_st, app);
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
    report("AFW_CreateInternalQueuedEvAux", "refused: attachment too large or missing");
    return 1;
  }
  App* apps[kMaxApps];
  int n = running_in_start_order(apps, kMaxApps);
  for (int i = 0; i < n; ++i) queue_to_app(apps[i]->serial, code, data, size);
  return 0;
}
