#include "test_apps.h"

#include <stdio.h>
#include <string.h>

namespace simtest {

World* world = nullptr;

namespace {

constexpr uint32_t kAnyTag = 0;
constexpr uint32_t kStateTag = 1;

std::string describe(const std::string& app, uint32_t code, EVENT_STACK_T* ev, uint32_t tag) {
  char buf[96];
  const EVENT_T* e = AFW_GetEv(ev);
  switch (code) {
    case EV_KEY_PRESS:
      snprintf(buf, sizeof buf, "%s press %u", app.c_str(), e->key);
      break;
    case EV_KEY_RELEASE:
      snprintf(buf, sizeof buf, "%s release %u", app.c_str(), e->key);
      break;
    case EV_SHELL_KEY:
      snprintf(buf, sizeof buf, "%s key %u", app.c_str(), e->key);
      break;
    case EV_TIMER_EXPIRED:
      snprintf(buf, sizeof buf, "%s timer %u", app.c_str(), timer_id(ev));
      break;
    case EV_PLAYBACK_END:
      snprintf(buf, sizeof buf, "%s end %u", app.c_str(), end_status(ev));
      break;
    default:
      snprintf(buf, sizeof buf, "%s %s%x", app.c_str(), tag == kAnyTag ? "" : "state ", code);
  }
  return buf;
}

template <uint32_t Code, uint32_t Tag = kAnyTag>
uint32_t handler(EVENT_STACK_T* ev, APPLICATION_T* app) {
  std::string name = world->names[app];
  world->log.push_back(describe(name, Code, ev, Tag));
  auto it = world->hooks.find({name, Code});
  return it != world->hooks.end() ? it->second(ev, app) : 0;
}

template <uint32_t State>
uint32_t entry(EVENT_STACK_T* ev, APPLICATION_T* app, uint32_t kind) {
  std::string key = world->names[app] + " " + std::to_string(State);
  world->log.push_back(world->names[app] + " enter " + std::to_string(State) + (kind ? " kind" : ""));
  auto it = world->entries.find(key);
  return it != world->entries.end() ? it->second(ev, app) : 0;
}

uint32_t shell_token(EVENT_STACK_T* ev, APPLICATION_T* app) {
  world->log.push_back("shell token");
  uint32_t r = APP_HandleUITokenGranted(ev, app);
  if (r != 0) return r;
  return app->token_status == APP_TOKEN_HELD ? APP_UtilChangeState(2, ev, app) : 0;
}

constexpr uint32_t kTestEvent = 0x4242;

const EVENT_HANDLER_ENTRY_T shell_any[] = {
    {EV_UI_TOKEN_REVOKED, APP_HandleUITokenRevoked},
    {EV_TIMER_EXPIRED, handler<EV_TIMER_EXPIRED>},
    {kTestEvent, handler<kTestEvent>},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T shell_init[] = {
    {EV_UI_TOKEN_GRANTED, shell_token},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T shell_main[] = {
    {EV_REDRAW, handler<EV_REDRAW>},
    {EV_SHELL_KEY, handler<EV_SHELL_KEY>},
    {EV_PLAYBACK_END, handler<EV_PLAYBACK_END>},
    {kTestEvent, handler<kTestEvent, kStateTag>},
    // A second entry for the same code: the first one wins.
    {kTestEvent, handler<0x9999>},
    {EV_LIST_END, nullptr},
};
const STATE_HANDLERS_ENTRY_T shell_table[] = {
    {APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, shell_any},
    {1, {0, 0, 0}, nullptr, nullptr, shell_init},
    {2, {0, 0, 0}, entry<2>, nullptr, shell_main},
};

const EVENT_HANDLER_ENTRY_T player_any[] = {
    {EV_KEY_PRESS, handler<EV_KEY_PRESS>},
    {EV_KEY_RELEASE, handler<EV_KEY_RELEASE>},
    {EV_TIMER_EXPIRED, handler<EV_TIMER_EXPIRED>},
    {kTestEvent, handler<kTestEvent>},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T player_main[] = {
    {EV_PLAYBACK_READY, handler<EV_PLAYBACK_READY>},
    {EV_PLAYBACK_SEEK_DONE, handler<EV_PLAYBACK_SEEK_DONE>},
    {EV_PLAYBACK_END, handler<EV_PLAYBACK_END>},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T player_other[] = {
    {EV_LIST_END, nullptr},
};
const STATE_HANDLERS_ENTRY_T player_table[] = {
    {APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, player_any},
    {1, {0, 0, 0}, entry<1>, nullptr, player_main},
    {3, {0, 0, 0}, entry<3>, nullptr, player_other},
};

uint32_t shell_start(EVENT_STACK_T* ev, uint32_t reg_id, uint32_t) {
  if (AFW_InquireRoutingStackByRegId(reg_id) == 0) return 1;
  APPLICATION_T* app = APP_InitAppData(APP_HandleEvent, 80, reg_id, 0, 1, 1, 1, 1, 0);
  if (!app) return 1;
  world->names[app] = "shell";
  world->shell = app;
  APP_Start(ev, app, 1, shell_table, nullptr, "ZQ_s_Player", 0);
  return 0;
}

uint32_t player_start(EVENT_STACK_T* ev, uint32_t reg_id, uint32_t) {
  APPLICATION_T* app = APP_InitAppData(APP_HandleEventPrepost, 88, reg_id, 0, 1, 1, 2, 0, 0);
  if (!app) return 1;
  world->names[app] = "player";
  world->player = app;
  APP_Start(ev, app, 1, player_table, nullptr, "ZQ_Player", 0);
  return 0;
}

void observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<World*>(ctx)->facts.push_back({fact, value, text ? text : ""});
}

}  // namespace

void Framework::SetUp() {
  world = &w;
  sim::reset();
  sim::set_observer(observe, &w);
}

void Framework::TearDown() {
  sim::reset();
  world = nullptr;
}

void Framework::register_both() {
  uint32_t shell_code = kShellCode, player_code = kPlayerCode;
  ASSERT_EQ(APP_Register(&shell_code, 1, shell_table, 3, shell_start), 0u);
  ASSERT_EQ(APP_Register(&player_code, 1, player_table, 3, player_start), 0u);
}

void Framework::start_both() {
  register_both();
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  ASSERT_EQ(LdrStartApp(kPlayerCode), 0u);
  sim::run_pending();
}

bool Framework::has_fact(sim::Fact f, uint32_t value) const {
  return count_fact(f, value) > 0;
}

int Framework::count_fact(sim::Fact f, uint32_t value) const {
  int n = 0;
  for (auto& seen : w.facts)
    if (seen.fact == f && seen.value == value) ++n;
  return n;
}

uint32_t timer_id(EVENT_STACK_T* ev) {
  uint32_t id;
  memcpy(&id, static_cast<uint8_t*>(AFW_GetEv(ev)->attachment) + 4, 4);
  return id;
}

uint32_t end_handle(EVENT_STACK_T* ev) {
  uint32_t h;
  memcpy(&h, static_cast<uint8_t*>(AFW_GetEv(ev)->attachment) + 8, 4);
  return h;
}

uint8_t end_status(EVENT_STACK_T* ev) {
  return static_cast<uint8_t*>(AFW_GetEv(ev)->attachment)[12];
}

}  // namespace simtest
