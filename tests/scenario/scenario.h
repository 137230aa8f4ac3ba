// SPDX-License-Identifier: MIT
// A scenario: a fresh folder under "file://b/", a program image loaded into
// the stand-in, and the helpers to drive it. Every scenario ends the program
// the way a user would and then checks that nothing leaked.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/player_state.h"
#include "sim/driver.h"

namespace scenario {

constexpr uint32_t kBase = 0x3000;  // event code base the loader passes
constexpr uint32_t kTrackSeconds = 180;
constexpr const char* kAudio = "file://b/mobile/audio/";

// Key codes as the phone sends them.
enum : uint8_t {
  kVolUp = 0x01,
  kPlay = 0x02,
  kSeekBack = 0x04,
  kSeekFwd = 0x06,
  kVolDown = 0x07,
  kStop = 0x08,
  kStar = 0x0A,
  kMode = 0x0B,
  kExit = 0x0E,
  kClose = 0x0F,
  kExitAnywhere = 0x11,
  kBgPlay = 0x15,
  kSideUp = 0x17,
  kSideDown = 0x18,
  kMediaPlay = 0x2C,
  kMediaStop = 0x2D,
  kMediaBack = 0x2E,
  kMediaFwd = 0x2F,
};

struct SeenFact {
  sim::Fact fact;
  uint32_t value;
  std::string text;
};

std::string ImagePath(const char* image);

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override;
  // A fresh stand-in over the same folder, for cases run in a loop.
  void RestartMachine();
  void TearDown() override;

  // Files of the folder "file://b/mobile/audio/".
  void AddTrack(const std::string& name, uint32_t seconds = kTrackSeconds);
  void AddLyrics(const std::string& track_stem, const std::string& utf8_text);
  void RemoveTrack(const std::string& name);
  std::string Host(const std::string& relative) const { return root_ + "/" + relative; }

  // Loads the image with the identifier of a track of the folder.
  bool Start(const std::string& name, const char* image = "zq_player_blue");
  bool StartWithText(const char* text, const char* image = "zq_player_blue");

  PlayerState& Ps();  // the loaded image's player state record
  sim::AppInfo ShellInfo();
  sim::AppInfo PlayerApp();
  bool ShellRunning();
  std::string Track();  // name of the engine's current object, "" when none
  uint32_t count(sim::Fact fact) const;
  uint32_t count(sim::Fact fact, uint32_t value) const;
  std::vector<std::string> TracksCreated() const;
  void ClearFacts() { facts_.clear(); }

  void Seconds(uint32_t n) { sim::Advance(n * 1000); }
  // Closes the player's screen with its close key.
  void CloseScreen();
  // The program ends as the user ends it: the exit key where it acts.
  void EndProgram();

  std::string root_;
  uint32_t lib_result_ = 0;
  std::vector<SeenFact> facts_;
  bool check_leaks_ = true;
};

}  // namespace scenario
