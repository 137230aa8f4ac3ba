// SPDX-License-Identifier: MIT
// The script runner on a clock it is handed: which steps are due when, how
// tap, hold and key are split, and that nothing after "end" runs.
#include "drive/script_runner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "sim/driver.h"

namespace {

struct Recorder {
  std::vector<std::string> events;
  drive::ScriptRunner::Hooks Hooks() {
    drive::ScriptRunner::Hooks h;
    h.shot = drive::Call<void(const char*)>(&on_shot);
    h.keyboard = drive::Call<void(const drive::KeyboardKey&, bool)>(&on_key);
    return h;
  }
  std::function<void(const char*)> on_shot = [this](const char* name) { events.push_back(name); };
  std::function<void(const drive::KeyboardKey&, bool)> on_key = [this](const drive::KeyboardKey& k, bool down) {
    events.push_back(std::string(k.name) + (down ? " down" : " up"));
  };
};

void Parse(const char* text, drive::Script* script) {
  drive::ScriptError error;
  ASSERT_TRUE(drive::ParseScript(text, strlen(text), script, &error)) << error.message.CStr();
}

}  // namespace

TEST(ScriptRunner, StepsRunAtTheirTimesAndNothingAfterEnd) {
  sim::Reset();  // no image: keys go to the phone and change nothing
  drive::Script script;
  Parse("shot a\nwait 100\nshot b\nhold 0x2F 250\nshot c\nkey F5 50\ntap 0x2C\nend\nshot d\n", &script);
  Recorder r;
  drive::ScriptRunner runner(script, r.Hooks());

  struct Tick {
    uint32_t now;
    bool more;
    uint32_t wake;
    std::vector<std::string> events;
  };
  const Tick ticks[] = {
      {0, true, 100, {"a"}},         // first wait begins at 0
      {60, true, 100, {"a"}},        // still waiting
      {100, true, 350, {"a", "b"}},  // the hold's press, then its wait from 100
      {349, true, 350, {"a", "b"}},
      {350, true, 400, {"a", "b", "c", "F5 down"}},          // release, shot, the key held 50 ms
      {400, false, 0, {"a", "b", "c", "F5 down", "F5 up"}},  // tap, end: "d" never runs
      {900, false, 0, {"a", "b", "c", "F5 down", "F5 up"}},
  };
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.now);
    uint32_t wake = 0;
    EXPECT_EQ(runner.RunDue(t.now, &wake), t.more);
    if (t.more) {
      EXPECT_EQ(wake, t.wake);
    }
    EXPECT_EQ(r.events, t.events);
  }
  EXPECT_TRUE(runner.Finished());
}

TEST(ScriptRunner, WaitStartsWhenItIsReachedNotWhenTheScriptStarts) {
  sim::Reset();
  drive::Script script;
  Parse("wait 0\nwait 500\nshot x\n", &script);
  Recorder r;
  drive::ScriptRunner runner(script, r.Hooks());
  uint32_t wake = 0;
  // The runner is first asked late, at 1000: the wait of 500 counts from there.
  ASSERT_TRUE(runner.RunDue(1000, &wake));
  EXPECT_EQ(wake, 1500u);
  EXPECT_TRUE(runner.RunDue(1499, &wake));
  EXPECT_TRUE(r.events.empty());
  EXPECT_FALSE(runner.RunDue(1500, &wake));
  EXPECT_EQ(r.events, std::vector<std::string>{"x"});
}

// "fail alloc N" makes the program's N-th memory request from then on fail.
TEST(ScriptRunner, FailAllocMakesTheNthRequestFail) {
  sim::Reset();
  drive::Script script;
  Parse("fail alloc 2\n", &script);
  Recorder r;
  drive::ScriptRunner runner(script, r.Hooks());
  uint32_t wake = 0;
  EXPECT_FALSE(runner.RunDue(0, &wake));
  void* first = suAllocMem(16, nullptr);
  void* second = suAllocMem(16, nullptr);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  suFreeMem(first);
}
