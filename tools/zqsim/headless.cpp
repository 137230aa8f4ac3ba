#include "tools/zqsim/headless.h"

#include <stdio.h>

#include "sim/driver.h"
#include "tools/zqsim/key_map.h"
#include "tools/zqsim/screen_shot.h"
#include "tools/zqsim/script_runner.h"
#include "tools/zqsim/session.h"

namespace zqsim {
namespace {

// The virtual clock moves in slices this long while the run watches for its
// end, so that it stops close to the moment the end came.
constexpr uint32_t kSliceMs = 100;
constexpr uint32_t kLongSliceMs = 10000;

int run_script(const Options& options, const std::vector<Step>& steps, Trace* trace) {
  bool failed = false;
  // The script's keyboard keys act as in the window: F12 saves the phone's
  // screen as zqsim-N.png (there is no window to save beside it).
  Keyboard keyboard(trace, [&](Control c) {
    if (c != Control::Screenshot) return;
    std::string dir = options.shots_dir.empty() ? "." : options.shots_dir;
    std::string name = next_key_shot_name(dir);
    std::string why;
    if (!take_shot(dir, name, trace, &why)) {
      fprintf(stderr, "zqsim: screenshot %s: %s\n", name.c_str(), why.c_str());
      failed = true;
    }
  });
  auto keyboard_key = [&](int32_t keycode, bool down) {
    // Keys are told apart by their key code here.
    if (down)
      keyboard.down(static_cast<uint32_t>(keycode), keycode, 0);
    else
      keyboard.up(static_cast<uint32_t>(keycode));
  };
  ScriptRunner runner(
      steps,
      [&](const std::string& name) {
        std::string why;
        if (!take_shot(options.shots_dir, name, trace, &why)) {
          fprintf(stderr, "zqsim: screenshot %s: %s\n", name.c_str(), why.c_str());
          failed = true;
        }
      },
      trace, keyboard_key);
  uint32_t wake = 0;
  while (!sim::unload_requested() && runner.run_due(sim::now_ms(), &wake)) {
    // Waits go in slices, emptying the stand-in's record of injected keys.
    while (sim::now_ms() < wake && !sim::unload_requested()) {
      uint32_t left = wake - sim::now_ms();
      sim::advance(left < kLongSliceMs ? left : kLongSliceMs);
      forget_injected_keys();
    }
  }
  keyboard.release_all();
  return failed ? 1 : 0;
}

int play_through(const Options& options, Trace* trace) {
  std::string first;
  bool wrapped = false;
  int tracks = 0;
  struct Pending {
    uint32_t at;
    std::string name;
  };
  std::vector<Pending> shots;
  trace->on_fact = [&](sim::Fact fact, uint32_t, const char* text) {
    if (fact != sim::Fact::Track) return;
    std::string name = text ? text : "";
    if (tracks == 0) {
      first = name;
    } else if (name == first) {
      wrapped = true;
      trace->mute();
      return;
    }
    ++tracks;
    // A broken track is over long before its screenshot would be taken.
    sim::PlaybackInfo info{};
    if (sim::playback_info(&info) && info.broken) return;
    char prefix[16];
    snprintf(prefix, sizeof prefix, "%02d-", tracks);
    std::string stem = name.substr(0, name.rfind('.'));
    shots.push_back({sim::now_ms() + kPlayThroughShotAfterMs, prefix + file_safe(stem)});
  };
  int status = 0;
  // The first track was created while the image started, before this
  // listener was in place: take it from the engine.
  sim::PlaybackInfo info{};
  if (sim::playback_info(&info) && info.exists) trace->on_fact(sim::Fact::Track, 0, info.name);
  while (!wrapped && !sim::unload_requested()) {
    if (sim::now_ms() >= kPlayThroughLimitMs) {
      fprintf(stderr, "zqsim: the list did not come back to its first track within %u s\n", kPlayThroughLimitMs / 1000);
      status = 1;
      break;
    }
    sim::advance(kSliceMs);
    forget_injected_keys();
    for (auto it = shots.begin(); it != shots.end();) {
      if (sim::now_ms() < it->at) {
        ++it;
        continue;
      }
      std::string why;
      if (!take_shot(options.shots_dir, it->name, trace, &why)) {
        fprintf(stderr, "zqsim: screenshot %s: %s\n", it->name.c_str(), why.c_str());
        status = 1;
      }
      it = shots.erase(it);
    }
  }
  trace->on_fact = nullptr;
  return status;
}

}  // namespace

int run_headless(const Options& options, const std::vector<Step>* steps, Trace* trace) {
  if (steps) return run_script(options, *steps, trace);
  return play_through(options, trace);
}

}  // namespace zqsim
