// SPDX-License-Identifier: MIT
// Application framework: registration by start event code, starting,
// application records, the routing stack, state tables with their entry
// routines, the UI token and exit.
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

constexpr int kMaxRegistrations = 8;
constexpr int kMaxCodes = 4;
constexpr uint32_t kFirstRegId = 0x101;
constexpr uint32_t kFirstPort = 0x2001;
constexpr int kMaxHandlers = 256;  // a handler list longer than this is taken as unterminated

const char kShellName[] = "ZQ_s_Player";
const char kPlayerName[] = "ZQ_Player";

struct Registration {
  bool used;
  uint32_t reg_id;
  uint32_t codes[kMaxCodes];
  uint32_t ncodes;
  const STATE_HANDLERS_ENTRY_T* table;
  uint32_t nstates;
  APP_START_T start;
};

struct Framework {
  Registration regs[kMaxRegistrations];
  App apps[kMaxApps];
  uint32_t next_reg_id;
  uint32_t next_port;
  uint32_t next_serial;
  uint32_t shell_starts;
  bool grant_override;
  uint32_t grant_result;
  uint8_t grant_status;
  // What the last shell and player looked like when they left, so that the
  // driver can still report them.
  bool have_last[2];
  AppInfo last[2];
};

Framework g;

Registration* RegistrationByCode(uint32_t code) {
  for (auto& r : g.regs) {
    if (!r.used) continue;
    for (uint32_t i = 0; i < r.ncodes; ++i)
      if (r.codes[i] == code) return &r;
  }
  return nullptr;
}

Registration* RegistrationById(uint32_t reg_id) {
  for (auto& r : g.regs)
    if (r.used && r.reg_id == reg_id) return &r;
  return nullptr;
}

const STATE_HANDLERS_ENTRY_T* StateEntry(const App* app, uint32_t state) {
  if (!app->table) return nullptr;
  for (uint32_t i = 0; i < app->nstates; ++i)
    if (app->table[i].state == state) return &app->table[i];
  return nullptr;
}

EVENT_HANDLER_T FindInList(const EVENT_HANDLER_ENTRY_T* list, uint32_t code) {
  if (!list) return nullptr;
  for (int i = 0; i < kMaxHandlers && list[i].code != EV_LIST_END; ++i)
    if (list[i].code == code) return list[i].handler;
  return nullptr;
}

void RunEntry(App* app, EVENT_STACK_T* ev_st) {
  const STATE_HANDLERS_ENTRY_T* e = StateEntry(app, app->state);
  if (e && e->entry) e->entry(ev_st, reinterpret_cast<APPLICATION_T*>(app->record), 0);
}

int WhichNamed(const App* app) {
  if (TextEqual(app->name, kShellName)) return 0;
  if (TextEqual(app->name, kPlayerName)) return 1;
  return -1;
}

void Describe(const App* app, AppInfo* out) {
  const auto* rec = reinterpret_cast<const APPLICATION_T*>(app->record);
  ZeroBytes(out, sizeof(*out));
  out->running = app->slot == Slot::kRunning;
  out->reg_id = app->reg_id;
  out->start_code = app->start_code;
  out->state = app->state;
  out->has_token = rec->token_status == APP_TOKEN_HELD;
  out->dialog = rec->dialog;
  out->timer_running = app->timer_on;
  out->timer_id = app->timer_id;
  out->timer_period_ms = app->timer_period;
  out->timer_cyclical = app->timer_cyclical;
  MoveBytes(out->name, app->name, sizeof(out->name));
}

// Takes an application off the routing stack: its timer dies, its queued
// events are dropped (they name a serial that no longer runs), and its record
// is freed once the dispatch that may still use it has ended.
void Leave(App* app) {
  if (app->slot != Slot::kRunning && app->slot != Slot::kAllocated) return;
  bool was_running = app->slot == Slot::kRunning;
  app->timer_on = false;
  app->slot = Slot::kExited;
  int which = WhichNamed(app);
  if (which >= 0) {
    Describe(app, &g.last[which]);
    g.have_last[which] = true;
  }
  if (was_running && which == 0) internal::Emit(Fact::kShellExit, 0, app->name);
}

bool InfoFor(int which, AppInfo* out) {
  App* best = nullptr;
  for (auto& a : g.apps)
    if (a.slot == Slot::kRunning && WhichNamed(&a) == which && (!best || a.serial > best->serial)) best = &a;
  if (best) {
    Describe(best, out);
    return true;
  }
  if (!g.have_last[which]) return false;
  *out = g.last[which];
  return true;
}

}  // namespace

void AppsReset() {
  ZeroBytes(&g, sizeof(g));
  g.next_reg_id = kFirstRegId;
  g.next_port = kFirstPort;
  g.next_serial = 1;
}

void ClearRegistrations() {
  ZeroBytes(g.regs, sizeof(g.regs));
}

App* AppAt(int index) {
  return index >= 0 && index < kMaxApps ? &g.apps[index] : nullptr;
}

App* AppByRecord(const void* record) {
  if (!record) return nullptr;
  for (auto& a : g.apps)
    if (a.slot != Slot::kFree && static_cast<const void*>(a.record) == record) return &a;
  return nullptr;
}

App* AppBySerial(uint32_t serial) {
  for (auto& a : g.apps)
    if (a.slot == Slot::kRunning && a.serial == serial) return &a;
  return nullptr;
}

int RunningInStartOrder(App** out, int max) {
  int n = 0;
  for (auto& a : g.apps)
    if (a.slot == Slot::kRunning && n < max) out[n++] = &a;
  // Insertion sort by serial: at most a handful of entries.
  for (int i = 1; i < n; ++i)
    for (int j = i; j > 0 && out[j - 1]->serial > out[j]->serial; --j) {
      App* t = out[j];
      out[j] = out[j - 1];
      out[j - 1] = t;
    }
  return n;
}

App* RunningShell() {
  App* best = nullptr;
  for (auto& a : g.apps)
    if (a.slot == Slot::kRunning && !a.prepost && (!best || a.serial > best->serial)) best = &a;
  return best;
}

void EndAppSilently(App* app) {
  // The application's screen goes with it, as it would on the phone.
  auto* rec = reinterpret_cast<APPLICATION_T*>(app->record);
  if (app->slot == Slot::kRunning && rec->dialog != 0) {
    internal::CanvasDelete(rec->dialog);
    rec->dialog = 0;
  }
  Leave(app);
}

void FreeExited() {
  for (auto& a : g.apps)
    if (a.slot == Slot::kExited) ZeroBytes(&a, sizeof(a));
}

EVENT_HANDLER_T FindHandler(const App* app, uint32_t code) {
  const STATE_HANDLERS_ENTRY_T* cur = StateEntry(app, app->state);
  if (EVENT_HANDLER_T h = FindInList(cur ? cur->handlers : nullptr, code)) return h;
  const STATE_HANDLERS_ENTRY_T* any = StateEntry(app, APP_STATE_ANY);
  return FindInList(any ? any->handlers : nullptr, code);
}

}  // namespace sim::fw

namespace sim {

bool ShellInfo(AppInfo* out) {
  return out && fw::InfoFor(0, out);
}
bool PlayerInfo(AppInfo* out) {
  return out && fw::InfoFor(1, out);
}
uint32_t ShellStarts() {
  return fw::g.shell_starts;
}

void SetNextTokenGrant(uint32_t result, uint8_t status) {
  fw::g.grant_override = true;
  fw::g.grant_result = result;
  fw::g.grant_status = status;
}

}  // namespace sim

using namespace sim::fw;

ZQ_EXTERN_C uint32_t APP_Register(const uint32_t* start_codes, uint32_t count, const STATE_HANDLERS_ENTRY_T* table,
                                  uint32_t states, APP_START_T start) {
  if (!start_codes || count == 0 || count > kMaxCodes || !table || states == 0 || !start) {
    Report("APP_Register", "refused: bad arguments");
    return 1;
  }
  for (uint32_t i = 0; i < count; ++i)
    if (RegistrationByCode(start_codes[i])) {
      Report("APP_Register", "refused: start code already registered");
      return 1;
    }
  for (auto& r : g.regs) {
    if (r.used) continue;
    r.used = true;
    r.reg_id = g.next_reg_id++;
    r.ncodes = count;
    for (uint32_t i = 0; i < count; ++i) r.codes[i] = start_codes[i];
    r.table = table;
    r.nstates = states;
    r.start = start;
    return 0;
  }
  Report("APP_Register", "refused: registration table full");
  return 1;
}

ZQ_EXTERN_C uint32_t LdrStartApp(uint32_t start_code) {
  Registration* r = RegistrationByCode(start_code);
  if (!r) return 1;
  return r->start(EventStack(), r->reg_id, 0);
}

ZQ_EXTERN_C uint32_t AFW_InquireRoutingStackByRegId(uint32_t reg_id) {
  for (auto& a : g.apps)
    if (a.slot == Slot::kRunning && a.reg_id == reg_id) return 0;
  return 1;
}

ZQ_EXTERN_C APPLICATION_T* APP_InitAppData(APP_DISPATCH_T dispatch, uint32_t size, uint32_t reg_id, uint32_t, uint32_t,
                                           uint32_t, uint32_t, uint32_t, uint32_t) {
  Registration* r = RegistrationById(reg_id);
  if (!r) {
    Report("APP_InitAppData", "refused: unknown registration");
    return nullptr;
  }
  if (size > kRecordBytes) {
    Report("APP_InitAppData", "refused: record larger than the framework hands out");
    return nullptr;
  }
  for (auto& a : g.apps) {
    if (a.slot != Slot::kFree) continue;
    ZeroBytes(&a, sizeof(a));
    a.slot = Slot::kAllocated;
    a.dispatch = dispatch ? dispatch : APP_HandleEvent;
    a.prepost = a.dispatch == APP_HandleEventPrepost;
    a.reg_id = reg_id;
    a.start_code = r->codes[0];
    a.table = r->table;
    a.nstates = r->nstates;
    a.port = g.next_port++;
    // Records smaller than the framework's 80 bytes still get all 80: the
    // framework itself writes its fields there.
    reinterpret_cast<APPLICATION_T*>(a.record)->port = a.port;
    return reinterpret_cast<APPLICATION_T*>(a.record);
  }
  Report("APP_InitAppData", "refused: too many applications");
  return nullptr;
}

ZQ_EXTERN_C uint32_t APP_Start(EVENT_STACK_T* ev_st, APPLICATION_T* rec, uint32_t state,
                               const STATE_HANDLERS_ENTRY_T* table, EVENT_HANDLER_T destroy, const char* name,
                               uint32_t) {
  App* app = AppByRecord(rec);
  if (!app || app->slot != Slot::kAllocated) return 1;
  if (table && table != app->table) {
    // Only the registration says how many states a table has; walking
    // another table with that count could read past its end.
    Report("APP_Start", "refused: not the state table the application was registered with");
    return 1;
  }
  app->slot = Slot::kRunning;
  app->serial = g.next_serial++;
  app->state = state;
  app->destroy = destroy;
  if (name) {
    CopyText(app->name, sizeof(app->name), name);
  }
  if (WhichNamed(app) == 0) {
    ++g.shell_starts;
    sim::internal::Emit(sim::Fact::kShellStart, 0, app->name);
  }
  uint32_t serial = app->serial;
  RunEntry(app, ev_st ? ev_st : EventStack());
  // An application that takes the screen gets the UI token once it is up.
  if (!app->prepost && AppBySerial(serial)) QueueToApp(serial, EV_UI_TOKEN_GRANTED, nullptr, 0);
  return 0;
}

ZQ_EXTERN_C uint32_t APP_HandleUITokenGranted(EVENT_STACK_T*, APPLICATION_T* rec) {
  if (!rec) return 1;
  uint32_t result = 0;
  uint8_t status = APP_TOKEN_HELD;
  if (g.grant_override) {
    g.grant_override = false;
    result = g.grant_result;
    status = g.grant_status;
  }
  rec->token_status = status;
  return result;
}

ZQ_EXTERN_C uint32_t APP_HandleUITokenRevoked(EVENT_STACK_T*, APPLICATION_T* rec) {
  if (rec) rec->token_status = 0;
  sim::internal::Emit(sim::Fact::kTokenRevoked, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t APP_UtilChangeState(uint32_t state, EVENT_STACK_T* ev_st, APPLICATION_T* rec) {
  App* app = AppByRecord(rec);
  if (!app || app->slot != Slot::kRunning || !StateEntry(app, state)) return 1;
  const STATE_HANDLERS_ENTRY_T* old = StateEntry(app, app->state);
  if (old && old->exit) old->exit(ev_st, rec, 0);
  app->state = state;
  RunEntry(app, ev_st ? ev_st : EventStack());
  return 0;
}

ZQ_EXTERN_C uint32_t APP_UtilUISDialogDelete(uint32_t* dialog_field) {
  if (!dialog_field) return 1;
  if (*dialog_field) sim::internal::CanvasDelete(*dialog_field);
  *dialog_field = 0;
  return 0;
}

ZQ_EXTERN_C uint32_t APP_Exit(EVENT_STACK_T*, APPLICATION_T* rec, uint32_t) {
  App* app = AppByRecord(rec);
  if (!app || app->slot == Slot::kExited) return 1;
  // The record stays until control is back with the framework: the caller
  // may still touch it on its way out.
  Leave(app);
  return 0;
}
