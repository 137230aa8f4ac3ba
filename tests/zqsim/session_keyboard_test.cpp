// SPDX-License-Identifier: MIT
// A zqsim session over the demo folder, driven as the window drives it: the
// keyboard's simulator keys change the phone and say so in the trace, the
// phone keys reach the player, and the volume keys change the volume type of
// the platform the session was given.
#include <gtest/gtest.h>
#include <stdio.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "drive/keyboard.h"
#include "drive/trace.h"
#include "sim/driver.h"
#include "tools/zqsim/key_map.h"
#include "tools/zqsim/lyrics_facts.h"
#include "tools/zqsim/session.h"

namespace {

// A started session whose trace goes to memory.
class SessionRun {
 public:
  explicit SessionRun(const std::string& platform = "") : trace_(drive::Call<void(const char*, size_t)>(&write_)) {
    zqsim::Options options;
    options.path = ZQ_DEMO_DIR;
    options.platform = platform;
    std::string error;
    ok_ = session_.Prepare(options, &error);
    if (ok_) {
      trace_.Attach();
      ok_ = session_.Start(&error);
    }
    error_ = error;
  }
  ~SessionRun() {
    trace_.Detach();
    session_.Finish();
  }
  bool Ok() const { return ok_; }
  const std::string& Error() const { return error_; }
  zqsim::Session& Session() { return session_; }
  drive::Trace* Trace() { return &trace_; }
  // The trace's lines after the time, from the line `from` on.
  std::vector<std::string> lines(size_t from = 0) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text_.size()) {
      size_t end = text_.find('\n', at);
      std::string l = text_.substr(at, end - at);
      out.push_back(l.substr(l.find(' ') + 1));
      at = end == std::string::npos ? text_.size() : end + 1;
    }
    return from < out.size() ? std::vector<std::string>(out.begin() + from, out.end()) : std::vector<std::string>{};
  }

 private:
  std::string text_;
  std::function<void(const char*, size_t)> write_ = [this](const char* t, size_t n) { text_.append(t, n); };
  drive::Trace trace_;
  zqsim::Session session_;
  bool ok_ = false;
  std::string error_;
};

}  // namespace

TEST(SimulatorKeys, F5F6F7ToggleTheirPhoneStateAndTraceIt) {
  struct Case {
    SDL_Keycode key;
    const char* on_line;
    const char* off_line;
    bool (*state)();
  } cases[] = {
      {SDLK_F5, "lock on", "lock off", [] { return sim::KeypadLocked(); }},
      {SDLK_F6, "call on", "call off", [] { return sim::VoiceCall(); }},
      {SDLK_F7, "front other", "front idle", [] { return sim::CurrentFront() == sim::Front::kOther; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.on_line);
    SessionRun run;
    ASSERT_TRUE(run.Ok()) << run.Error();
    std::vector<zqsim::Control> controls;
    zqsim::Keyboard keyboard(run.Trace(), [&](zqsim::Control k) { controls.push_back(k); });
    size_t from = run.lines().size();
    ASSERT_FALSE(c.state());
    keyboard.Down(1, c.key, 0);
    EXPECT_TRUE(c.state());
    keyboard.Up(1);
    EXPECT_TRUE(c.state());  // a toggle, not held
    ASSERT_FALSE(run.lines(from).empty());
    EXPECT_EQ(run.lines(from).front(), c.on_line);
    from = run.lines().size();
    keyboard.Down(1, c.key, 0);
    EXPECT_FALSE(c.state());
    ASSERT_FALSE(run.lines(from).empty());
    EXPECT_EQ(run.lines(from).front(), c.off_line);
    EXPECT_TRUE(controls.empty());  // the stand-in's state needs no front end
  }
}

TEST(SimulatorKeys, F1AndF12GoToTheFrontEndAndPressNoPhoneKey) {
  SessionRun run;
  ASSERT_TRUE(run.Ok()) << run.Error();
  std::vector<zqsim::Control> controls;
  zqsim::Keyboard keyboard(run.Trace(), [&](zqsim::Control k) { controls.push_back(k); });
  size_t from = run.lines().size();
  keyboard.Down(1, SDLK_F1, 0);
  keyboard.Up(1);
  keyboard.Down(2, SDLK_F12, 0);
  keyboard.Up(2);
  EXPECT_EQ(controls, (std::vector<zqsim::Control>{zqsim::Control::kHelp, zqsim::Control::kScreenshot}));
  EXPECT_TRUE(run.lines(from).empty());
}

// The keypad lock the window shows is the one the program reads: with F5 on,
// the play/pause key does nothing; with it off again, it pauses.
TEST(SimulatorKeys, KeypadLockStopsThePhoneKeysUntilItIsTakenOff) {
  SessionRun run;
  ASSERT_TRUE(run.Ok()) << run.Error();
  zqsim::Keyboard keyboard(run.Trace(), nullptr);
  sim::Advance(1500);
  keyboard.Down(1, SDLK_F5, 0);
  keyboard.Down(2, SDLK_UP, 0);
  keyboard.Up(2);
  EXPECT_EQ(sim::Indicator(), 1);  // still playing
  keyboard.Down(1, SDLK_F5, 0);
  EXPECT_FALSE(sim::KeypadLocked());
  keyboard.Down(2, SDLK_UP, 0);
  keyboard.Up(2);
  EXPECT_EQ(sim::Indicator(), 2);  // paused
}

// A key held down is pressed once however often the keyboard repeats it,
// and released once.
TEST(SimulatorKeys, AHeldKeyboardKeyPressesItsPhoneKeyOnce) {
  SessionRun run;
  ASSERT_TRUE(run.Ok()) << run.Error();
  zqsim::Keyboard keyboard(run.Trace(), nullptr);
  uint8_t before = sim::Volume(run.Session().VolumeType());
  keyboard.Down(7, SDLK_PAGEUP, 0);
  keyboard.Down(7, SDLK_PAGEUP, 0);
  keyboard.Up(7);
  keyboard.Up(7);
  EXPECT_EQ(sim::Volume(run.Session().VolumeType()), before + 1);
}

// Key scripts name keyboard keys as SDL names them, and each acts in a
// script as in the window; every phone key and simulator key of the window
// can be named.
TEST(SimulatorKeys, ScriptKeyNamesAreTheWindowsKeys) {
  size_t count = 0;
  const drive::KeyboardKey* keys = drive::KeyboardKeys(&count);
  std::set<int> named;
  for (size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(keys[i].name);
    SDL_Keycode sym = SDL_GetKeyFromName(keys[i].name);
    ASSERT_NE(sym, SDLK_UNKNOWN);
    drive::KeyAction window = zqsim::KeyAction(sym, 0);
    EXPECT_EQ(window.phone_key, keys[i].action.phone_key);
    EXPECT_EQ(window.control, keys[i].action.control);
    named.insert(keys[i].action.phone_key >= 0 ? keys[i].action.phone_key : 0x100 + int(keys[i].action.control));
  }
  for (uint8_t key : zqsim::MappedPhoneKeys()) EXPECT_TRUE(named.count(key)) << int(key);
  for (zqsim::Control c : {zqsim::Control::kHelp, zqsim::Control::KeypadLock, zqsim::Control::kVoiceCall,
                           zqsim::Control::kFrontApp, zqsim::Control::kScreenshot})
    EXPECT_TRUE(named.count(0x100 + int(c))) << int(c);
}

TEST(SessionPlatform, VolumeKeysChangeTheVolumeTypeOfThePlatform) {
  struct Case {
    const char* platform;
    uint8_t type;   // the type the keys change and the panel shows
    uint8_t other;  // the type that stays
  } cases[] = {{"", 2, 4}, {"ZQ9", 2, 4}, {"LTE", 4, 2}, {"LTE2", 2, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.platform);
    SessionRun run(c.platform);
    ASSERT_TRUE(run.Ok()) << run.Error();
    EXPECT_EQ(run.Session().VolumeType(), c.type);
    zqsim::Keyboard keyboard(run.Trace(), nullptr);
    keyboard.Down(1, SDLK_PAGEUP, 0);
    keyboard.Up(1);
    keyboard.Down(1, SDLK_PAGEUP, 0);
    keyboard.Up(1);
    EXPECT_EQ(sim::Volume(c.type), 6);
    EXPECT_EQ(sim::Volume(c.other), 4);
  }
}

// The panel's lyrics facts for each demo track, as the stand-in saw the
// program look for them: the file found (after a missing "lrc", the "txt"),
// the GB2312 table read for GB2312 text, the encoding by the file's first
// bytes, the status and the counts of the record; a track without lyrics
// shows both names missing and status 4. A mouse hold of a phone key counts
// as held until it is let go.
TEST(LyricsFacts, SayWhereEachDemoTrackFoundItsLyrics) {
  SessionRun run;
  ASSERT_TRUE(run.Ok()) << run.Error();
  struct Case {
    const char* files;  // name=bytes read, or =missing
    int encoding;
    uint8_t status;
    unsigned lines, times;
  } cases[] = {
      {"lrc/01_jingyesi.lrc=135 ELF/gb2uc.map=15228", 1, 0, 4, 4},
      {"lrc/02_chunxiao.lrc=203", 4, 0, 5, 5},
      {"lrc/03_dengguanque.lrc=missing lrc/03_dengguanque.txt=236", 2, 0, 4, 5},
      {"lrc/04_no_lyrics.lrc=missing lrc/04_no_lyrics.txt=missing", -1, 4, 0, 0},
  };
  zqsim::Keyboard mouse(run.Trace(), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files);
    zqsim::LyricsFacts f = zqsim::CurrentLyrics();
    std::string files;
    for (const zqsim::LyricsFacts::File& file : f.files) {
      std::string name = file.uri.substr(file.uri.rfind("file://b/", 0) == 0 ? 9 : 0);
      if (name.rfind("mobile/audio/", 0) == 0) name = name.substr(13);
      files += (files.empty() ? "" : " ") + name + "=" +
               (!file.found ? "missing" : std::to_string(file.read) + (file.read_whole ? "" : " of ?"));
    }
    EXPECT_TRUE(f.track);
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(f.encoding, c.encoding);
    EXPECT_TRUE(f.status_known);
    EXPECT_EQ(f.status, c.status);
    EXPECT_EQ(f.loaded, c.status == 0);
    EXPECT_EQ(f.lines, c.lines);
    EXPECT_EQ(f.times, c.times);
    mouse.Hold(99, 0x2F);  // the next track, by a tap of the mouse
    EXPECT_EQ(mouse.HeldKeys(), std::vector<uint8_t>{0x2F});
    mouse.Up(99);
    EXPECT_TRUE(mouse.HeldKeys().empty());
    sim::Advance(100);
  }
}
