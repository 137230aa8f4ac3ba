#include "drive/headless.h"

#include "drive/keyboard.h"
#include "drive/script_runner.h"
#include "sim/driver.h"
#include "sim/port_array.h"

namespace drive {
namespace {

// The virtual clock moves in slices this long while the run watches for its
// end, so that it stops close to the moment the end came.
constexpr uint32_t kSliceMs = 100;
constexpr uint32_t kLongSliceMs = 10000;

// Saves a screenshot; says why not on stderr.
bool shoot(const HeadlessRun& run, const char* dir, const char* name, Trace* trace) {
  Text why;
  if (take_shot(dir, name, trace, run.save, &why)) return true;
  Text line("screenshot ");
  line.append(name).append(": ").append(why);
  say(run.program, line.c_str());
  return false;
}

int run_script(const HeadlessRun& run, const Script& script, Trace* trace) {
  bool failed = false;
  // The script's keyboard keys act as in the window: F12 saves the phone's
  // screen as zqsim-N.png (there is no window to save beside it).
  auto on_control = [&](Control c) {
    if (c != Control::Screenshot) return;
    const char* dir = run.shots_dir[0] != '\0' ? run.shots_dir : ".";
    Text name;
    next_key_shot_name(dir, &name);
    if (!shoot(run, dir, name.c_str(), trace)) failed = true;
  };
  Keyboard keyboard(trace, call<void(Control)>(&on_control));
  size_t key_count = 0;
  const KeyboardKey* keys = keyboard_keys(&key_count);
  // Keys are told apart by their place in the table of keys here.
  auto on_key = [&](const KeyboardKey& key, bool down) {
    uint32_t id = static_cast<uint32_t>(&key - keys);
    if (down)
      keyboard.down(id, key.action);
    else
      keyboard.up(id);
  };
  auto on_shot = [&](const char* name) {
    if (!shoot(run, run.shots_dir, name, trace)) failed = true;
  };
  ScriptRunner::Hooks hooks;
  hooks.shot = call<void(const char*)>(&on_shot);
  hooks.keyboard = call<void(const KeyboardKey&, bool)>(&on_key);
  ScriptRunner runner(script, hooks, trace);
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

// The play-through's bookkeeping of tracks and the screenshots due.
class PlayThrough {
 public:
  PlayThrough(const HeadlessRun& run, Trace* trace) : run_(run), trace_(trace) {}
  ~PlayThrough() { shots_.release(); }

  void on_track(const char* name) {
    if (tracks_ == 0) {
      first_.assign(name);
    } else if (same_text(name, first_.c_str())) {
      wrapped_ = true;
      trace_->mute();
      return;
    }
    ++tracks_;
    // A broken track is over long before its screenshot would be taken.
    sim::PlaybackInfo info{};
    if (sim::playback_info(&info) && info.broken) return;
    // "NN-" and the track's name without its extension, fit for a file.
    Text shot;
    if (tracks_ < 10) shot.append('0');
    shot.append_number(tracks_).append('-');
    size_t stem = length_of(name);
    for (size_t i = stem; i > 0; --i)
      if (name[i - 1] == '.') {
        stem = i - 1;
        break;
      }
    Text stem_text;
    stem_text.append(name, stem);
    append_file_safe(&shot, stem_text.c_str());
    Pending* p = shots_.append(1);
    if (p == nullptr || shot.size() >= sizeof p->name) {
      if (p != nullptr) shots_.cut(shots_.size() - 1);
      return;
    }
    p->at = sim::now_ms() + kPlayThroughShotAfterMs;
    for (size_t i = 0; i <= shot.size(); ++i) p->name[i] = shot.c_str()[i];
  }

  // Takes the screenshots that are due; false when one could not be saved.
  bool take_due() {
    bool ok = true;
    for (uint32_t i = 0; i < shots_.size();) {
      if (sim::now_ms() < shots_[i].at) {
        ++i;
        continue;
      }
      if (!shoot(run_, run_.shots_dir, shots_[i].name, trace_)) ok = false;
      for (uint32_t k = i + 1; k < shots_.size(); ++k) shots_[k - 1] = shots_[k];
      shots_.cut(shots_.size() - 1);
    }
    return ok;
  }

  bool wrapped() const { return wrapped_; }

 private:
  struct Pending {
    uint32_t at;
    char name[272];  // room for "65535-", a name of 255 bytes and a "_"
  };

  const HeadlessRun& run_;
  Trace* trace_;
  Text first_;
  bool wrapped_ = false;
  uint32_t tracks_ = 0;
  sim::PortArray<Pending> shots_{};
};

int play_through(const HeadlessRun& run, Trace* trace) {
  PlayThrough play(run, trace);
  auto on_fact = [&](sim::Fact fact, uint32_t, const char* text) {
    if (fact == sim::Fact::Track) play.on_track(text != nullptr ? text : "");
  };
  trace->on_fact = call<void(sim::Fact, uint32_t, const char*)>(&on_fact);
  int status = 0;
  // The first track was created while the image started, before this
  // listener was in place: take it from the engine.
  sim::PlaybackInfo info{};
  if (sim::playback_info(&info) && info.exists) play.on_track(info.name);
  while (!play.wrapped() && !sim::unload_requested()) {
    if (sim::now_ms() >= kPlayThroughLimitMs) {
      Text line("the list did not come back to its first track within ");
      line.append_number(kPlayThroughLimitMs / 1000).append(" s");
      say(run.program, line.c_str());
      status = 1;
      break;
    }
    sim::advance(kSliceMs);
    forget_injected_keys();
    if (!play.take_due()) status = 1;
  }
  trace->on_fact = FactListener{};
  return status;
}

}  // namespace

int run_headless(const HeadlessRun& run, const Script* script, Trace* trace) {
  if (script != nullptr) return run_script(run, *script, trace);
  return play_through(run, trace);
}

}  // namespace drive
