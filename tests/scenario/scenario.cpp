// SPDX-License-Identifier: MIT
#include "scenario.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace scenario {

std::string ImagePath(const char* image) {
  return std::string(ZQ_IMAGE_DIR) + "/" + image + ".so";
}

namespace {

void Observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<std::vector<SeenFact>*>(ctx)->push_back(SeenFact{fact, value, text ? text : ""});
}

}  // namespace

void Scenario::SetUp() {
  sim::Reset();
  char pattern[] = "/tmp/zq_scenario_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  root_ = pattern;
  fs::create_directories(root_ + "/mobile/audio/lrc");
  ASSERT_TRUE(sim::SetRoot(root_.c_str()));
  sim::SetObserver(Observe, &facts_);
}

void Scenario::RestartMachine() {
  if (sim::ImageLoaded()) sim::UnloadImage();
  sim::Reset();
  ASSERT_TRUE(sim::SetRoot(root_.c_str()));
  sim::SetObserver(Observe, &facts_);
  facts_.clear();
}

void Scenario::TearDown() {
  EndProgram();
  if (sim::ImageLoaded()) sim::UnloadImage();
  sim::SetObserver(nullptr, nullptr);
  if (check_leaks_) {
    char report[512];
    sim::LeakReport(report, sizeof report);
    EXPECT_EQ(sim::LeakedBlocks(), 0u) << report;
    EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
    EXPECT_EQ(sim::GetMemoryStats().overruns, 0u);
  }
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Scenario::AddTrack(const std::string& name, uint32_t seconds) {
  std::ofstream(Host("mobile/audio/" + name)) << "ID3 not really audio";
  sim::SetTrackLength((std::string(kAudio) + name).c_str(), seconds * 1000);
}

void Scenario::AddLyrics(const std::string& track_stem, const std::string& utf8_text) {
  // Marked as UTF-8, so that no GB2312 table is needed to read it.
  std::ofstream(Host("mobile/audio/lrc/" + track_stem + ".lrc")) << "\xEF\xBB\xBF" << utf8_text;
}

void Scenario::RemoveTrack(const std::string& name) {
  fs::remove(Host("mobile/audio/" + name));
}

bool Scenario::Start(const std::string& name, const char* image) {
  uint8_t id[8];
  if (!sim::FileId((std::string(kAudio) + name).c_str(), id)) return false;
  char text[17];
  sim::FileIdText(id, text);
  return StartWithText(text, image);
}

bool Scenario::StartWithText(const char* text, const char* image) {
  return sim::LoadImage(ImagePath(image).c_str(), text, kBase, &lib_result_);
}

PlayerState& Scenario::Ps() {
  static PlayerState gone{};
  auto* p = static_cast<PlayerState*>(sim::ImageSymbol("player"));
  EXPECT_NE(p, nullptr) << "no image loaded";
  return p ? *p : gone;
}

sim::AppInfo Scenario::ShellInfo() {
  sim::AppInfo info{};
  sim::ShellInfo(&info);
  return info;
}

sim::AppInfo Scenario::PlayerApp() {
  sim::AppInfo info{};
  sim::PlayerInfo(&info);
  return info;
}

bool Scenario::ShellRunning() {
  return ShellInfo().running;
}

std::string Scenario::Track() {
  sim::PlaybackInfo info{};
  return sim::GetPlaybackInfo(&info) ? info.name : "";
}

uint32_t Scenario::count(sim::Fact fact) const {
  uint32_t n = 0;
  for (const auto& f : facts_) n += f.fact == fact;
  return n;
}

uint32_t Scenario::count(sim::Fact fact, uint32_t value) const {
  uint32_t n = 0;
  for (const auto& f : facts_) n += f.fact == fact && f.value == value;
  return n;
}

std::vector<std::string> Scenario::TracksCreated() const {
  std::vector<std::string> names;
  for (const auto& f : facts_)
    if (f.fact == sim::Fact::kTrack) names.push_back(f.text);
  return names;
}

void Scenario::CloseScreen() {
  sim::Press(kClose);
  sim::Release(kClose);
}

void Scenario::EndProgram() {
  if (!sim::ImageLoaded()) return;
  // Key 0x11 ends the player on its screen and on the idle screen alike.
  sim::SetKeypadLock(false);
  sim::SetFront(sim::Front::kIdle);
  sim::Press(kExitAnywhere);
  sim::RunPending();
}

}  // namespace scenario
