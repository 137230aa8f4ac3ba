// SPDX-License-Identifier: MIT
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
bool Shoot(const HeadlessRun& run, const char* dir, const char* name, Trace* trace) {
  Text why;
  if (TakeShot(dir, name, trace, run.save, &why)) return true;
  Text line("screenshot ");
  line.Append(name).Append(": ").Append(why);
  Say(run.program, line.CStr());
  return false;
}

int RunScript(const HeadlessRun& run, const Script& script, Trace* trace) {
  bool failed = false;
  // The script's keyboard keys act as in the window: F12 saves the phone's
  // screen as zqsim-N.png (there is no window to save beside it).
  auto on_control = [&](Control c) {
    if (c != Control::kScreenshot) return;
    const char* dir = run.shots_dir[0] != '\0' ? run.shots_dir : ".";
    Text name;
    NextKeyShotName(dir, &name);
    if (!Shoot(run, dir, name.CStr(), trace)) failed = true;
  };
  Keyboard keyboard(trace, Call<void(Control)>(&on_control));
  size_t key_count = 0;
  const KeyboardKey* keys = KeyboardKeys(&key_count);
  // Keys are told apart by their place in the table of keys here.
  auto on_key = [&](const KeyboardKey& key, bool down) {
    uint32_t id = static_cast<uint32_t>(&key - keys);
    if (down)
      keyboard.Down(id, key.action);
    else
      keyboard.Up(id);
  };
  auto on_shot = [&](const char* name) {
    if (!Shoot(run, run.shots_dir, name, trace)) failed = true;
  };
  ScriptRunner::Hooks hooks;
  hooks.shot = Call<void(const char*)>(&on_shot);
  hooks.keyboard = Call<void(const KeyboardKey&, bool)>(&on_key);
  ScriptRunner runner(script, hooks, trace);
  uint32_t wake = 0;
  while (!sim::UnloadRequested() && runner.RunDue(sim::NowMs(), &wake)) {
    // Waits go in slices, emptying the stand-in's record of injected keys.
    while (sim::NowMs() < wake && !sim::UnloadRequested()) {
      uint32_t left = wake - sim::NowMs();
      sim::Advance(left < kLongSliceMs ? left : kLongSliceMs);
      ForgetInjectedKeys();
    }
  }
  keyboard.ReleaseAll();
  return failed ? 1 : 0;
}

// The play-through's bookkeeping of tracks and the screenshots due.
class PlayThrough {
 public:
  PlayThrough(const HeadlessRun& run, Trace* trace) : run_(run), trace_(trace) {}
  ~PlayThrough() { shots_.Release(); }

  void OnTrack(const char* name) {
    if (tracks_ == 0) {
      first_.Assign(name);
    } else if (SameText(name, first_.CStr())) {
      wrapped_ = true;
      trace_->Mute();
      return;
    }
    ++tracks_;
    // A broken track is over long before its screenshot would be taken.
    sim::PlaybackInfo info{};
    if (sim::GetPlaybackInfo(&info) && info.broken) return;
    // "NN-" and the track's name without its extension, fit for a file.
    Text shot;
    if (tracks_ < 10) shot.Append('0');
    shot.AppendNumber(tracks_).Append('-');
    size_t stem = LengthOf(name);
    for (size_t i = stem; i > 0; --i)
      if (name[i - 1] == '.') {
        stem = i - 1;
        break;
      }
    Text stem_text;
    stem_text.Append(name, stem);
    AppendFileSafe(&shot, stem_text.CStr());
    Pending* p = shots_.Append(1);
    if (p == nullptr || shot.Size() >= sizeof p->name) {
      if (p != nullptr) shots_.Cut(shots_.Size() - 1);
      return;
    }
    p->at = sim::NowMs() + kPlayThroughShotAfterMs;
    for (size_t i = 0; i <= shot.Size(); ++i) p->name[i] = shot.CStr()[i];
  }

  // Takes the screenshots that are due; false when one could not be saved.
  bool TakeDue() {
    bool ok = true;
    for (uint32_t i = 0; i < shots_.Size();) {
      if (sim::NowMs() < shots_[i].at) {
        ++i;
        continue;
      }
      if (!Shoot(run_, run_.shots_dir, shots_[i].name, trace_)) ok = false;
      for (uint32_t k = i + 1; k < shots_.Size(); ++k) shots_[k - 1] = shots_[k];
      shots_.Cut(shots_.Size() - 1);
    }
    return ok;
  }

  bool Wrapped() const { return wrapped_; }

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

int RunPlayThrough(const HeadlessRun& run, Trace* trace) {
  PlayThrough play(run, trace);
  auto on_fact = [&](sim::Fact fact, uint32_t, const char* text) {
    if (fact == sim::Fact::kTrack) play.OnTrack(text != nullptr ? text : "");
  };
  trace->on_fact = Call<void(sim::Fact, uint32_t, const char*)>(&on_fact);
  int status = 0;
  // The first track was created while the image started, before this
  // listener was in place: take it from the engine.
  sim::PlaybackInfo info{};
  if (sim::GetPlaybackInfo(&info) && info.exists) play.OnTrack(info.name);
  while (!play.Wrapped() && !sim::UnloadRequested()) {
    if (sim::NowMs() >= kPlayThroughLimitMs) {
      Text line("the list did not come back to its first track within ");
      line.AppendNumber(kPlayThroughLimitMs / 1000).Append(" s");
      Say(run.program, line.CStr());
      status = 1;
      break;
    }
    sim::Advance(kSliceMs);
    ForgetInjectedKeys();
    if (!play.TakeDue()) status = 1;
  }
  trace->on_fact = FactListener{};
  return status;
}

}  // namespace

int RunHeadless(const HeadlessRun& run, const Script* script, Trace* trace) {
  if (script != nullptr) return RunScript(run, *script, trace);
  return RunPlayThrough(run, trace);
}

}  // namespace drive
