// The script runner on a clock it is handed: which steps are due when, how
// tap and hold are split, and that nothing after "end" runs.
#include "tools/zqsim/script_runner.h"

#include <gtest/gtest.h>

#include "sim/driver.h"
#include "tools/zqsim/key_script.h"

TEST(ScriptRunner, StepsRunAtTheirTimesAndNothingAfterEnd) {
  sim::reset();  // no image: keys go to the phone and change nothing
  std::vector<zqsim::Step> steps;
  zqsim::ScriptError error;
  ASSERT_TRUE(
      zqsim::parse_script("shot a\nwait 100\nshot b\nhold 0x2F 250\nshot c\ntap 0x2C\nend\nshot d\n", &steps, &error));
  std::vector<std::string> shots;
  zqsim::ScriptRunner runner(steps, [&](const std::string& name) { shots.push_back(name); });

  struct Tick {
    uint32_t now;
    bool more;
    uint32_t wake;
    std::vector<std::string> shots;
  };
  const Tick ticks[] = {
      {0, true, 100, {"a"}},         // first wait begins at 0
      {60, true, 100, {"a"}},        // still waiting
      {100, true, 350, {"a", "b"}},  // the hold's press, then its wait from 100
      {349, true, 350, {"a", "b"}},
      {350, false, 0, {"a", "b", "c"}},  // release, shot, tap, end: "d" never runs
      {900, false, 0, {"a", "b", "c"}},
  };
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.now);
    uint32_t wake = 0;
    EXPECT_EQ(runner.run_due(t.now, &wake), t.more);
    if (t.more) {
      EXPECT_EQ(wake, t.wake);
    }
    EXPECT_EQ(shots, t.shots);
  }
  EXPECT_TRUE(runner.finished());
}

TEST(ScriptRunner, WaitStartsWhenItIsReachedNotWhenTheScriptStarts) {
  sim::reset();
  std::vector<zqsim::Step> steps;
  zqsim::ScriptError error;
  ASSERT_TRUE(zqsim::parse_script("wait 0\nwait 500\nshot x\n", &steps, &error));
  std::vector<std::string> shots;
  zqsim::ScriptRunner runner(steps, [&](const std::string& name) { shots.push_back(name); });
  uint32_t wake = 0;
  // The runner is first asked late, at 1000: the wait of 500 counts from there.
  ASSERT_TRUE(runner.run_due(1000, &wake));
  EXPECT_EQ(wake, 1500u);
  EXPECT_TRUE(runner.run_due(1499, &wake));
  EXPECT_TRUE(shots.empty());
  EXPECT_FALSE(runner.run_due(1500, &wake));
  EXPECT_EQ(shots, std::vector<std::string>{"x"});
}
