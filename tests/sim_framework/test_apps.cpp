// SPDX-License-Identifier: MIT
#include "test_apps.h"

#include <stdio.h>
#include <string.h>

namespace simtest {

World* world = nullptr;

namespace {

constexpr uint32_t kAnyTag = 0;
constexpr uint32_t kStateTag = 1;

std::string Describe(const std::string& app, uint32_t code, EVENT_STACK_T* ev, uint32_t tag) {
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
      snprintf(buf, sizeof buf, "%s timer %u", app.c_str(), TimerId(ev));
      break;
    case EV_PLAYBACK_END:
      snprintf(buf, sizeof buf, "%s end %u", app.c_str(), EndStatus(ev));
      break;
    default:
      snprintf(buf, sizeof buf, "%s %s%x", app.c_str(), tag == kAnyTag ? "" : "state ", code);
  }
  return buf;
}

template <uint32_t Code, uint32_t Tag = kAnyTag>
uint32_t Handler(EVENT_STACK_T* ev, APPLICATION_T* app) {
  std::string name = world->names[app];
  world->log.push_back(Describe(name, Code, ev, Tag));
  auto it = world->hooks.find({name, Code});
  return it != world->hooks.end() ? it->second(ev, app) : 0;
}

template <uint32_t State>
uint32_t Entry(EVENT_STACK_T* ev, APPLICATION_T* app, uint32_t kind) {
  std::string key = world->names[app] + " " + std::to_string(State);
  world->log.push_back(world->names[app] + " enter " + std::to_string(State) + (kind ? " kind" : ""));
  auto it = world->entries.find(key);
  return it != world->entries.end() ? it->second(ev, app) : 0;
}

uint32_t ShellToken(EVENT_STACK_T* ev, APPLICATION_T* app) {
  world->log.push_back("shell token");
  uint32_t r = APP_HandleUITokenGranted(ev, app);
  if (r != 0) return r;
  return app->token_status == APP_TOKEN_HELD ? APP_UtilChangeState(2, ev, app) : 0;
}

constexpr uint32_t kTestEvent = 0x4242;

const EVENT_HANDLER_ENTRY_T kShellAny[] = {
    {EV_UI_TOKEN_REVOKED, APP_HandleUITokenRevoked},
    {EV_TIMER_EXPIRED, Handler<EV_TIMER_EXPIRED>},
    {kTestEvent, Handler<kTestEvent>},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T kShellInit[] = {
    {EV_UI_TOKEN_GRANTED, ShellToken},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T kShellMain[] = {
    {EV_REDRAW, Handler<EV_REDRAW>},
    {EV_SHELL_KEY, Handler<EV_SHELL_KEY>},
    {EV_PLAYBACK_END, Handler<EV_PLAYBACK_END>},
    {kTestEvent, Handler<kTestEvent, kStateTag>},
    // A second entry for the same code: the first one wins.
    {kTestEvent, Handler<0x9999>},
    {EV_LIST_END, nullptr},
};
const STATE_HANDLERS_ENTRY_T kShellTable[] = {
    {APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, kShellAny},
    {1, {0, 0, 0}, nullptr, nullptr, kShellInit},
    {2, {0, 0, 0}, Entry<2>, nullptr, kShellMain},
};

const EVENT_HANDLER_ENTRY_T kPlayerAny[] = {
    {EV_KEY_PRESS, Handler<EV_KEY_PRESS>},
    {EV_KEY_RELEASE, Handler<EV_KEY_RELEASE>},
    {EV_TIMER_EXPIRED, Handler<EV_TIMER_EXPIRED>},
    {kTestEvent, Handler<kTestEvent>},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T kPlayerMain[] = {
    {EV_PLAYBACK_READY, Handler<EV_PLAYBACK_READY>},
    {EV_PLAYBACK_SEEK_DONE, Handler<EV_PLAYBACK_SEEK_DONE>},
    {EV_PLAYBACK_END, Handler<EV_PLAYBACK_END>},
    {EV_LIST_END, nullptr},
};
const EVENT_HANDLER_ENTRY_T kPlayerOther[] = {
    {EV_LIST_END, nullptr},
};
const STATE_HANDLERS_ENTRY_T kPlayerTable[] = {
    {APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, kPlayerAny},
    {1, {0, 0, 0}, Entry<1>, nullptr, kPlayerMain},
    {3, {0, 0, 0}, Entry<3>, nullptr, kPlayerOther},
};

uint32_t ShellStart(EVENT_STACK_T* ev, uint32_t reg_id, uint32_t) {
  if (AFW_InquireRoutingStackByRegId(reg_id) == 0) return 1;
  APPLICATION_T* app = APP_InitAppData(APP_HandleEvent, 80, reg_id, 0, 1, 1, 1, 1, 0);
  if (!app) return 1;
  world->names[app] = "shell";
  world->shell = app;
  APP_Start(ev, app, 1, kShellTable, nullptr, "ZQ_s_Player", 0);
  return 0;
}

uint32_t PlayerStart(EVENT_STACK_T* ev, uint32_t reg_id, uint32_t) {
  APPLICATION_T* app = APP_InitAppData(APP_HandleEventPrepost, 88, reg_id, 0, 1, 1, 2, 0, 0);
  if (!app) return 1;
  world->names[app] = "player";
  world->player = app;
  APP_Start(ev, app, 1, kPlayerTable, nullptr, "ZQ_Player", 0);
  return 0;
}

void Observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<World*>(ctx)->facts.push_back({fact, value, text ? text : ""});
}

}  // namespace

void Framework::SetUp() {
  world = &w_;
  sim::Reset();
  sim::SetObserver(Observe, &w_);
}

void Framework::TearDown() {
  sim::Reset();
  world = nullptr;
}

void Framework::RegisterBoth() {
  uint32_t shell_code = kShellCode, player_code = kPlayerCode;
  ASSERT_EQ(APP_Register(&shell_code, 1, kShellTable, 3, ShellStart), 0u);
  ASSERT_EQ(APP_Register(&player_code, 1, kPlayerTable, 3, PlayerStart), 0u);
}

void Framework::StartBoth() {
  RegisterBoth();
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  ASSERT_EQ(LdrStartApp(kPlayerCode), 0u);
  sim::RunPending();
}

bool Framework::HasFact(sim::Fact f, uint32_t value) const {
  return CountFact(f, value) > 0;
}

int Framework::CountFact(sim::Fact f, uint32_t value) const {
  int n = 0;
  for (auto& seen : w_.facts)
    if (seen.fact == f && seen.value == value) ++n;
  return n;
}

uint32_t TimerId(EVENT_STACK_T* ev) {
  uint32_t id;
  memcpy(&id, static_cast<uint8_t*>(AFW_GetEv(ev)->attachment) + 4, 4);
  return id;
}

uint32_t EndHandle(EVENT_STACK_T* ev) {
  uint32_t h;
  memcpy(&h, static_cast<uint8_t*>(AFW_GetEv(ev)->attachment) + 8, 4);
  return h;
}

uint8_t EndStatus(EVENT_STACK_T* ev) {
  return static_cast<uint8_t*>(AFW_GetEv(ev)->attachment)[12];
}

}  // namespace simtest
