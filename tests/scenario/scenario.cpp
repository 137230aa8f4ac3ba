#include "scenario.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace scenario {

std::string image_path(const char* image) {
  return std::string(ZQ_IMAGE_DIR) + "/" + image + ".so";
}

namespace {

void observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<std::vector<SeenFact>*>(ctx)->push_back(SeenFact{fact, value, text ? text : ""});
}

}  // namespace

void Scenario::SetUp() {
  sim::reset();
  char pattern[] = "/tmp/zq_scenario_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  root_ = pattern;
  fs::create_directories(root_ + "/mobile/audio/lrc");
  ASSERT_TRUE(sim::set_root(root_.c_str()));
  sim::set_observer(observe, &facts_);
}

void Scenario::restart_machine() {
  if (sim::image_loaded()) sim::unload_image();
  sim::reset();
  ASSERT_TRUE(sim::set_root(root_.c_str()));
  sim::set_observer(observe, &facts_);
  facts_.clear();
}

void Scenario::TearDown() {
  end_program();
  if (sim::image_loaded()) sim::unload_image();
  sim::set_observer(nullptr, nullptr);
  if (check_leaks_) {
    char report[512];
    sim::leak_report(report, sizeof report);
    EXPECT_EQ(sim::leaked_blocks(), 0u) << report;
    EXPECT_EQ(sim::memory_stats().bad_frees, 0u);
    EXPECT_EQ(sim::memory_stats().overruns, 0u);
  }
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Scenario::add_track(const std::string& name, uint32_t seconds) {
  std::ofstream(host("mobile/audio/" + name)) << "ID3 not really audio";
  sim::set_track_length((std::string(kAudio) + name).c_str(), seconds * 1000);
}

void Scenario::add_lyrics(const std::string& track_stem, const std::string& utf8_text) {
  // Marked as UTF-8, so that no GB2312 table is needed to read it.
  std::ofstream(host("mobile/audio/lrc/" + track_stem + ".lrc")) << "\xEF\xBB\xBF" << utf8_text;
}

void Scenario::remove_track(const std::string& name) {
  fs::remove(host("mobile/audio/" + name));
}

bool Scenario::start(const std::string& name, const char* image) {
  uint8_t id[8];
  if (!sim::file_id((std::string(kAudio) + name).c_str(), id)) return false;
  char text[17];
  sim::file_id_text(id, text);
  return start_with_text(text, image);
}

bool Scenario::start_with_text(const char* text, const char* image) {
  return sim::load_image(image_path(image).c_str(), text, kBase, &lib_result_);
}

PlayerState& Scenario::ps() {
  static PlayerState gone{};
  auto* p = static_cast<PlayerState*>(sim::image_symbol("player"));
  EXPECT_NE(p, nullptr) << "no image loaded";
  return p ? *p : gone;
}

sim::AppInfo Scenario::shell() {
  sim::AppInfo info{};
  sim::shell_info(&info);
  return info;
}

sim::AppInfo Scenario::player_app() {
  sim::AppInfo info{};
  sim::player_info(&info);
  return info;
}

bool Scenario::shell_running() {
  return shell().running;
}

std::string Scenario::track() {
  sim::PlaybackInfo info{};
  return sim::playback_info(&info) ? info.name : "";
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

std::vector<std::string> Scenario::tracks_created() const {
  std::vector<std::string> names;
  for (const auto& f : facts_)
    if (f.fact == sim::Fact::Track) names.push_back(f.text);
  return names;
}

void Scenario::close_screen() {
  sim::press(kClose);
  sim::release(kClose);
}

void Scenario::end_program() {
  if (!sim::image_loaded()) return;
  // Key 0x11 ends the player on its screen and on the idle screen alike.
  sim::set_keypad_lock(false);
  sim::set_front(sim::Front::Idle);
  sim::press(kExitAnywhere);
  sim::run_pending();
}

}  // namespace scenario
