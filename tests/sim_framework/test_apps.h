// SPDX-License-Identifier: MIT
// Two small applications for driving the stand-in's framework from tests: a
// "shell" with the plain dispatch (init state waiting for the UI token, main
// state with a canvas-less screen) and a "player" with the pre-post dispatch.
// Every handler logs "<app> <event>" and then runs the hook a test installed
// for that application and event.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/firmware.h"
#include "sim/driver.h"

namespace simtest {

constexpr uint32_t kShellCode = 0x4100;
constexpr uint32_t kPlayerCode = 0x4101;

using Hook = std::function<uint32_t(EVENT_STACK_T*, APPLICATION_T*)>;

struct World {
  std::vector<std::string> log;
  std::map<std::pair<std::string, uint32_t>, Hook> hooks;  // (app, event code)
  std::map<std::string, Hook> entries;                     // "<app> <state>"
  std::map<const APPLICATION_T*, std::string> names;
  APPLICATION_T* shell = nullptr;   // last shell record
  APPLICATION_T* player = nullptr;  // last player record
  struct Seen {
    sim::Fact fact;
    uint32_t value;
    std::string text;
  };
  std::vector<Seen> facts;
};

extern World* world;

class Framework : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Registers both applications (shell under kShellCode, player under the next).
  void RegisterBoth();
  // Registers and starts the shell, then the player, and runs what they queued.
  void StartBoth();
  void On(const std::string& app, uint32_t code, Hook hook) { w_.hooks[{app, code}] = std::move(hook); }
  std::vector<std::string> TakeLog() { return std::exchange(w_.log, {}); }
  bool HasFact(sim::Fact f, uint32_t value) const;
  int CountFact(sim::Fact f, uint32_t value) const;
  World w_;
};

// The byte-wise timer id and end status of the current event.
uint32_t TimerId(EVENT_STACK_T* ev);
uint32_t EndHandle(EVENT_STACK_T* ev);
uint8_t EndStatus(EVENT_STACK_T* ev);

}  // namespace simtest
