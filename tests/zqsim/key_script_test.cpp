// The key script: what each kind of line becomes, and that every bad line is
// refused with its line number while nothing of the script is kept.
#include "tools/zqsim/key_script.h"

#include <SDL.h>
#include <gtest/gtest.h>

using zqsim::parse_script;
using zqsim::ScriptError;
using zqsim::Step;
using K = zqsim::Step::Kind;

TEST(KeyScript, EveryKindOfStepIsRead) {
  const char* text =
      "# a comment line\n"
      "\n"
      "wait 1500\n"
      "press 0x2F   # seek forward\n"
      "release 47\n"
      "tap 0X0a\n"
      "  hold 0x2e 2500  \n"
      "lock on\n"
      "lock off\n"
      "call on\n"
      "call off\n"
      "front other\n"
      "front idle\n"
      "shot after-seek_1.x\n"
      "end\n";
  std::vector<Step> steps;
  ScriptError error;
  ASSERT_TRUE(parse_script(text, &steps, &error)) << error.line << ": " << error.message;
  struct Expected {
    K kind;
    uint8_t key;
    uint32_t ms;
    bool on;
    const char* name;
    int line;
  };
  const Expected expected[] = {
      {K::Wait, 0, 1500, false, "", 3},    {K::Press, 0x2F, 0, false, "", 4},
      {K::Release, 0x2F, 0, false, "", 5}, {K::Tap, 0x0A, 0, false, "", 6},
      {K::Hold, 0x2E, 2500, false, "", 7}, {K::Lock, 0, 0, true, "", 8},
      {K::Lock, 0, 0, false, "", 9},       {K::Call, 0, 0, true, "", 10},
      {K::Call, 0, 0, false, "", 11},      {K::Front, 0, 0, true, "", 12},
      {K::Front, 0, 0, false, "", 13},     {K::Shot, 0, 0, false, "after-seek_1.x", 14},
      {K::End, 0, 0, false, "", 15},
  };
  ASSERT_EQ(steps.size(), std::size(expected));
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i));
    EXPECT_EQ(steps[i].kind, expected[i].kind);
    EXPECT_EQ(steps[i].key, expected[i].key);
    EXPECT_EQ(steps[i].ms, expected[i].ms);
    EXPECT_EQ(steps[i].on, expected[i].on);
    EXPECT_EQ(steps[i].name, expected[i].name);
    EXPECT_EQ(steps[i].line, expected[i].line);
  }
}

TEST(KeyScript, BoundaryValuesAreAccepted) {
  std::vector<Step> steps;
  ScriptError error;
  ASSERT_TRUE(parse_script("tap 0xFF\ntap 0\nwait 0\nwait 86400000\n", &steps, &error)) << error.message;
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].key, 0xFF);
  EXPECT_EQ(steps[3].ms, zqsim::kMaxStepMs);
}

TEST(KeyScript, EmptyScriptHasNoSteps) {
  std::vector<Step> steps(1);  // one stale step, which a parse must drop
  ScriptError error;
  ASSERT_TRUE(parse_script("# nothing\n\n   \n", &steps, &error));
  EXPECT_TRUE(steps.empty());
}

TEST(KeyScript, EveryBadLineIsRefusedWithItsNumberAndNothingIsKept) {
  struct Case {
    const char* bad_line;
    const char* message_part;
  };
  const Case cases[] = {
      {"jump 3", "unknown step"},
      {"wait", "wait MS"},
      {"wait 10 20", "wait MS"},
      {"wait -5", "bad time"},
      {"wait 1.5", "bad time"},
      {"wait 86400001", "bad time"},
      {"wait 99999999999999999999999", "bad time"},
      {"press", "press KEY"},
      {"press 0x100", "bad key"},
      {"press 256", "bad key"},
      {"press 0x", "bad key"},
      {"press 0x2G", "bad key"},
      {"press up", "bad key"},
      {"release 1 2", "release KEY"},
      {"tap", "tap KEY"},
      {"hold 0x2F", "hold KEY MS"},
      {"hold 0x2F soon", "bad time"},
      {"lock maybe", "\"on\" or \"off\""},
      {"lock", "lock on|off"},
      {"call yes", "\"on\" or \"off\""},
      {"front home", "\"other\" or \"idle\""},
      {"shot", "shot NAME"},
      {"shot ../escape", "bad screenshot name"},
      {"shot a/b", "bad screenshot name"},
      {"shot .hidden", "bad screenshot name"},
      {"shot two words", "shot NAME"},
      {"end now", "end"},
      {"WAIT 10", "unknown step"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bad_line);
    // The bad line is the third; the good lines around it must not run.
    std::string text = std::string("wait 10\n# comment\n") + c.bad_line + "\ntap 0x2C\n";
    Step end;
    end.kind = K::End;
    std::vector<Step> steps{end};
    ScriptError error;
    EXPECT_FALSE(parse_script(text, &steps, &error));
    EXPECT_EQ(error.line, 3);
    EXPECT_NE(error.message.find(c.message_part), std::string::npos) << error.message;
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].kind, K::End);
  }
}

TEST(KeyScript, MissingFileIsReportedWithoutALineNumber) {
  std::vector<Step> steps;
  ScriptError error;
  EXPECT_FALSE(zqsim::load_script("/nonexistent/zq/script.txt", &steps, &error));
  EXPECT_EQ(error.line, 0);
  EXPECT_NE(error.message.find("cannot read"), std::string::npos);
}

// Keyboard keys by their names, as a person reads them on the keyboard.
TEST(KeyScript, KeyboardKeysAreReadByName) {
  struct Case {
    const char* line;
    int32_t keycode;  // 0: refused
    uint32_t ms;
  } cases[] = {
      {"key F5", SDLK_F5, 0},
      {"key F12 300", SDLK_F12, 300},
      {"key Up", SDLK_UP, 0},
      {"key PageDown 1200", SDLK_PAGEDOWN, 1200},
      {"key *", SDLK_ASTERISK, 0},
      {"key Escape", SDLK_ESCAPE, 0},
      {"key 3", SDLK_3, 0},
      {"key NoSuchKey", 0, 0},
      {"key", 0, 0},
      {"key F5 soon", 0, 0},
      {"key F5 10 20", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<Step> steps;
    ScriptError error;
    bool ok = parse_script(std::string("wait 1\n") + c.line + "\n", &steps, &error);
    ASSERT_EQ(ok, c.keycode != 0) << error.message;
    if (!ok) {
      EXPECT_EQ(error.line, 2);
      continue;
    }
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].kind, K::Key);
    EXPECT_EQ(steps[1].keycode, c.keycode);
    EXPECT_EQ(steps[1].ms, c.ms);
  }
}
