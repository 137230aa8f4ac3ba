// SPDX-License-Identifier: MIT
// The key script: what each kind of line becomes, and that every bad line is
// refused with its line number while nothing of the script is kept.
#include "drive/key_script.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using drive::ParseScript;
using drive::Script;
using drive::ScriptError;
using K = drive::Step::Kind;

namespace {

bool Parse(const std::string& text, Script* script, ScriptError* error) {
  return ParseScript(text.data(), text.size(), script, error);
}

}  // namespace

TEST(KeyScript, EveryKindOfStepIsRead) {
  const char* text =
      "# a comment line\n"
      "\n"
      "wait 1500\n"
      "press 0x2F   # seek forward\n"
      "release 47\n"
      "tap 0X0a\n"
      "  hold 0x2e 2500  \r\n"
      "lock on\n"
      "lock off\n"
      "call on\n"
      "call off\n"
      "front other\n"
      "front idle\n"
      "shot after-seek_1.x\n"
      "fail alloc 3\n"
      "key pageup 20\n"
      "end";
  Script script;
  ScriptError error;
  ASSERT_TRUE(Parse(text, &script, &error)) << error.line << ": " << error.message.CStr();
  struct Expected {
    K kind;
    uint32_t value;  // key, ms or count
    bool on;
    const char* name;
    int line;
  };
  const Expected expected[] = {
      {K::kWait, 1500, false, "", 3},    {K::kPress, 0x2F, false, "", 4}, {K::kRelease, 0x2F, false, "", 5},
      {K::kTap, 0x0A, false, "", 6},     {K::kHold, 0x2E, false, "", 7},  {K::kLock, 0, true, "", 8},
      {K::kLock, 0, false, "", 9},       {K::kCall, 0, true, "", 10},     {K::kCall, 0, false, "", 11},
      {K::kFront, 0, true, "", 12},      {K::kFront, 0, false, "", 13},   {K::kShot, 0, false, "after-seek_1.x", 14},
      {K::kFailAlloc, 3, false, "", 15}, {K::kKey, 20, false, "", 16},    {K::kEnd, 0, false, "", 17},
  };
  ASSERT_EQ(script.Size(), std::size(expected));
  for (size_t i = 0; i < script.Size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i));
    const drive::Step& s = script[i];
    EXPECT_EQ(s.kind, expected[i].kind);
    uint32_t value = s.kind == K::kFailAlloc ? s.count : s.kind == K::kWait || s.kind == K::kKey ? s.ms : s.key;
    EXPECT_EQ(value, expected[i].value);
    EXPECT_EQ(s.on, expected[i].on);
    EXPECT_STREQ(s.name, expected[i].name);
    EXPECT_EQ(s.line, expected[i].line);
  }
  EXPECT_EQ(script[4].ms, 2500u);
  EXPECT_STREQ(script[13].keyboard->name, "PageUp");
}

TEST(KeyScript, BoundaryValuesAreAccepted) {
  Script script;
  ScriptError error;
  ASSERT_TRUE(Parse("tap 0xFF\ntap 0\nwait 0\nwait 86400000\nfail alloc 1000000\n", &script, &error))
      << error.message.CStr();
  ASSERT_EQ(script.Size(), 5u);
  EXPECT_EQ(script[0].key, 0xFF);
  EXPECT_EQ(script[3].ms, drive::kMaxStepMs);
  EXPECT_EQ(script[4].count, 1000000u);
}

TEST(KeyScript, EmptyScriptHasNoStepsAndReplacesAnEarlierOne) {
  Script script;
  ScriptError error;
  ASSERT_TRUE(Parse("end\n", &script, &error));
  ASSERT_TRUE(Parse("# nothing\n\n   \n", &script, &error));
  EXPECT_TRUE(script.Empty());
}

TEST(KeyScript, EveryBadLineIsRefusedWithItsNumberAndNothingIsKept) {
  struct Case {
    std::string_view bad_line;
    const char* message_part;
  };
  using namespace std::string_view_literals;
  const Case cases[] = {
      {"jump 3", "unknown step \"jump\""},
      {"wait", "wait MS"},
      {"wait 10 20", "wait MS"},
      {"wait -5", "bad time \"-5\""},
      {"wait 1.5", "bad time"},
      {"wait 86400001", "at most 86400000"},
      {"wait 99999999999999999999999", "bad time"},
      {"press", "press KEY"},
      {"press 0x100", "bad key code \"0x100\" (0 to 255"},
      {"press 256", "bad key"},
      {"press 0x", "bad key"},
      {"press 0x2G", "bad key"},
      {"press up", "bad key"},
      {"release 1 2", "release KEY"},
      {"tap", "tap KEY"},
      {"hold 0x2F", "hold KEY MS"},
      {"hold 0x2F soon", "bad time"},
      {"lock maybe", "expected \"on\" or \"off\", not \"maybe\""},
      {"lock", "lock on|off"},
      {"call yes", "\"on\" or \"off\""},
      {"front home", "\"other\" or \"idle\""},
      {"shot", "shot NAME"},
      {"shot ../escape", "bad screenshot name"},
      {"shot a/b", "bad screenshot name"},
      {"shot .hidden", "bad screenshot name"},
      {"shot two words", "shot NAME"},
      {"shot 12345678901234567890123456789012345678901234567890123456789012345", "bad screenshot name"},
      {"end now", "end"},
      {"WAIT 10", "unknown step"},
      {"key", "key NAME [MS]"},
      {"key NoSuchKey", "no keyboard key named \"NoSuchKey\""},
      {"key A", "no keyboard key named \"A\" acts"},  // a key, but one that does nothing
      {"key F5 soon", "bad time"},
      {"key F5 10 20", "key NAME [MS]"},
      {"key F5\0x"sv, "no keyboard key named \"F5\\x00x\""},  // not F5: the zero byte is part of the name
      {"wait 1\x1b[2J", "bad time \"1\\x1b[2J\""},            // control bytes show as such, in one line
      {"fail alloc", "fail alloc N"},
      {"fail memory 1", "fail alloc N"},
      {"fail alloc 0", "bad count \"0\" (1 to 1000000)"},
      {"fail alloc 1000001", "bad count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bad_line);
    // The bad line is the third; the good lines around it must not run.
    std::string text = "wait 10\n# comment\n" + std::string(c.bad_line) + "\ntap 0x2C\n";
    Script script;
    ScriptError error;
    ASSERT_TRUE(Parse("end\n", &script, &error));
    EXPECT_FALSE(Parse(text, &script, &error));
    EXPECT_EQ(error.line, 3);
    EXPECT_NE(std::string(error.message.CStr()).find(c.message_part), std::string::npos) << error.message.CStr();
    ASSERT_EQ(script.Size(), 1u);
    EXPECT_EQ(script[0].kind, K::kEnd);
  }
}

TEST(KeyScript, MissingFileIsReportedWithoutALineNumber) {
  Script script;
  ScriptError error;
  EXPECT_FALSE(drive::LoadScript("/nonexistent/zq/script.txt", &script, &error));
  EXPECT_EQ(error.line, 0);
  EXPECT_STREQ(error.message.CStr(), "cannot read the script /nonexistent/zq/script.txt");
}

// Keyboard keys by their names, as a person reads them on the keyboard, in
// any letter case.
TEST(KeyScript, KeyboardKeysAreReadByName) {
  struct Case {
    const char* name;
    int phone_key;
    drive::Control control;
  } cases[] = {
      {"F5", -1, drive::Control::KeypadLock},  {"f12", -1, drive::Control::kScreenshot},
      {"Up", 0x2C, drive::Control::kNone},     {"PAGEDOWN", 0x18, drive::Control::kNone},
      {"*", 0x0A, drive::Control::kNone},      {"#", 0x0B, drive::Control::kNone},
      {"escape", 0x0F, drive::Control::kNone}, {"3", 0x03, drive::Control::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const drive::KeyboardKey* key = drive::KeyboardKeyNamed(c.name);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->action.phone_key, c.phone_key);
    EXPECT_EQ(key->action.control, c.control);
  }
}
