// SPDX-License-Identifier: MIT
#include "tools/zqsim/window.h"

#include <SDL.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drive/headless.h"
#include "drive/keyboard.h"
#include "drive/png_file.h"
#include "drive/screen_shot.h"
#include "drive/script_runner.h"
#include "sim/driver.h"
#include "tools/zqsim/key_map.h"
#include "tools/zqsim/lyrics_facts.h"
#include "tools/zqsim/panel_font.h"
#include "tools/zqsim/side_panel.h"
#include "tools/zqsim/sound_out.h"

#ifndef ZQ_UNIFONT_HEX
#define ZQ_UNIFONT_HEX "/usr/share/unifont/unifont.hex"
#endif

namespace zqsim {
namespace {

constexpr int kScreenW = 176;
constexpr int kScreenH = 220;
// The mouse's id among the keyboard's keys (scan codes are far below it,
// script keys above).
constexpr uint32_t kMouseId = 0x40000000u;
// A frame that took longer than this (a dragged window, a stopped process)
// does not move the clock by more: timers would fire in a burst.
constexpr uint64_t kMaxWallStepMs = 250;
// The longest the window waits at its end for queued sound to be heard.
constexpr uint32_t kDrainMs = 500;

struct Sdl {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* screen = nullptr;
  SDL_Texture* panel = nullptr;
  SDL_Texture* phone = nullptr;
  ~Sdl() {
    if (phone) SDL_DestroyTexture(phone);
    if (panel) SDL_DestroyTexture(panel);
    if (screen) SDL_DestroyTexture(screen);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
  }
};

PanelState GatherState(const Session& session, const SoundOut& sound) {
  PanelState st;
  st.indicator = sim::Indicator();
  st.keypad_locked = sim::KeypadLocked();
  st.voice_call = sim::VoiceCall();
  st.front_other = sim::CurrentFront() == sim::Front::kOther;
  st.player_hidden = drive::PlayerScreenHidden();
  st.program_running = sim::ImageLoaded() && !sim::UnloadRequested();
  st.volume_type = session.VolumeType();
  st.volume = sim::Volume(st.volume_type);
  sim::PlaybackInfo info{};
  if (sim::GetPlaybackInfo(&info) && info.exists) {
    st.track = info.name;
    st.track_playing = info.playing;
    st.position_ms = info.position_ms;
    st.length_ms = info.length_ms;
  }
  st.clock_ms = sim::NowMs();
  st.sound = sound.IsOpen();
  st.lyrics = CurrentLyrics();
  return st;
}

// The panel's line about the phone key under the pointer.
std::string DescribeKey(int key) {
  if (key < 0) return "";
  char code[8];
  snprintf(code, sizeof code, "%02X", static_cast<unsigned>(key & 0xFF));
  std::string names = KeyboardNames(static_cast<uint8_t>(key));
  return std::string("key ") + code + (names.empty() ? "" : " (keyboard: " + names + ")");
}

bool SaveWindow(SDL_Renderer* renderer, int w, int h, const std::string& path) {
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB24, rgb.data(), w * 3) != 0) return false;
  return drive::WritePng(path.c_str(), rgb.data(), w, h, nullptr);
}

}  // namespace

WindowLayout MakeWindowLayout(int scale) {
  WindowLayout l{};
  l.phone = MakePhoneBody(scale);
  l.height = std::max(l.phone.height, kMinWindowHeight);
  l.phone_y = (l.height - l.phone.height) / 2;
  l.screen_x = l.phone.screen.x;
  l.screen_y = l.phone_y + l.phone.screen.y;
  l.screen_w = l.phone.screen.w;
  l.screen_h = l.phone.screen.h;
  // The panel's text grows with the phone's.
  l.panel_zoom = l.phone.zoom;
  l.panel_width = kPanelWidth;
  l.panel_height = l.height / l.panel_zoom;
  l.panel_x = l.phone.width;
  l.width = l.phone.width + kPanelWidth * l.panel_zoom;
  return l;
}

bool DisplayAvailable() {
  const char* x = getenv("DISPLAY");
  const char* wl = getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wl && *wl);
}

namespace {

// One window's run: the SDL objects, the sound, the keyboard and what the
// frame shows. Open() sets it up; Loop() runs it.
class WindowRun {
 public:
  WindowRun(const Options& options, drive::Trace* trace, Session& session)
      : options_(options),
        trace_(trace),
        session_(session),
        layout_(MakeWindowLayout(options.scale)),
        help_(options.key_map),
        keyboard_(trace, [this](Control c) { OnControl(c); }) {}
  ~WindowRun() { trace_->on_fact = drive::FactListener{}; }
  WindowRun(const WindowRun&) = delete;
  WindowRun& operator=(const WindowRun&) = delete;

  bool Open();
  void AttachScript(const drive::Script& script);
  int Loop();

 private:
  void HandleEvent(const SDL_Event& e);
  void OnMouse(const SDL_Event& e);
  void OnControl(Control c);
  void OnScriptKey(const drive::KeyboardKey& key, bool down);
  void OnScriptShot(const char* name);
  void StepClock();
  void PaintFrame();
  void PaintPhone();

  const Options& options_;
  drive::Trace* trace_;
  Session& session_;
  const WindowLayout layout_;
  Sdl sdl_;
  PanelFont font_;
  SoundOut sound_;
  int status_ = 0;
  std::string window_shot_;  // path of a window screenshot to take at the next frame
  bool help_, quit_ = false, script_done_ = false;
  std::vector<uint8_t> panel_;
  std::vector<uint8_t> shell_;  // the phone's body without its keys, painted once
  std::vector<uint8_t> phone_;
  BodyLook look_, drawn_look_;
  bool phone_drawn_ = false;
  uint64_t last_wall_ = 0;
  Keyboard keyboard_;
  std::function<void(sim::Fact, uint32_t, const char*)> on_fact_;
  std::function<void(const char*)> on_script_shot_;
  std::function<void(const drive::KeyboardKey&, bool)> on_script_key_;
  std::unique_ptr<drive::ScriptRunner> runner_;
};

bool WindowRun::Open() {
  // The font first: the window shows up ready to draw and to take clicks.
  if (!font_.Load(ZQ_UNIFONT_HEX)) fprintf(stderr, "zqsim: cannot read %s; the panel shows boxes\n", ZQ_UNIFONT_HEX);
  // The first click on the phone's keys counts even when another window had
  // the focus.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  sdl_.window = SDL_CreateWindow("zqsim - ZQ lyrics player", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 layout_.width, layout_.height, 0);
  if (sdl_.window) sdl_.renderer = SDL_CreateRenderer(sdl_.window, -1, 0);
  if (sdl_.renderer) {
    sdl_.screen =
        SDL_CreateTexture(sdl_.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, kScreenW, kScreenH);
    sdl_.panel = SDL_CreateTexture(sdl_.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, kPanelWidth,
                                   layout_.panel_height);
    sdl_.phone = SDL_CreateTexture(sdl_.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                                   layout_.phone.width, layout_.phone.height);
  }
  if (!sdl_.screen || !sdl_.panel || !sdl_.phone) {
    fprintf(stderr, "zqsim: cannot open the window: %s\n", SDL_GetError());
    return false;
  }
  if (!sound_.Open()) {
    fprintf(stderr, "zqsim: no sound device (%s); tracks play silently on the wall clock\n", SDL_GetError());
  }
  // With sound, a track ends when its sound has been heard to the end.
  sim::SetEngineEndsTracks(!sound_.IsOpen());
  on_fact_ = [this](sim::Fact fact, uint32_t, const char*) {
    if (fact == sim::Fact::kEngineSeek) sound_.NoteSeek();
  };
  trace_->on_fact = drive::Call<void(sim::Fact, uint32_t, const char*)>(&on_fact_);
  panel_.resize(static_cast<size_t>(kPanelWidth) * layout_.panel_height * 3);
  shell_.resize(static_cast<size_t>(layout_.phone.width) * layout_.phone.height * 3);
  DrawPhoneShell(shell_.data(), layout_.phone, font_);
  last_wall_ = SDL_GetTicks64();
  return true;
}

// A script's keyboard keys go to the same keyboard as typed keys, at once,
// so that they keep their order with the script's other steps.
void WindowRun::AttachScript(const drive::Script& script) {
  on_script_shot_ = [this](const char* name) { OnScriptShot(name); };
  on_script_key_ = [this](const drive::KeyboardKey& key, bool down) { OnScriptKey(key, down); };
  drive::ScriptRunner::Hooks hooks;
  hooks.shot = drive::Call<void(const char*)>(&on_script_shot_);
  hooks.keyboard = drive::Call<void(const drive::KeyboardKey&, bool)>(&on_script_key_);
  runner_ = std::make_unique<drive::ScriptRunner>(script, hooks, trace_);
}

// A script's keys are told apart from typed keys (scan codes) by their place
// in the table of keys.
void WindowRun::OnScriptKey(const drive::KeyboardKey& key, bool down) {
  size_t key_count = 0;
  const drive::KeyboardKey* keys = drive::KeyboardKeys(&key_count);
  uint32_t id = 0x80000000u | static_cast<uint32_t>(&key - keys);
  if (down)
    keyboard_.Down(id, key.action);
  else
    keyboard_.Up(id);
}

void WindowRun::OnScriptShot(const char* name) {
  drive::Text why;
  if (!drive::TakeShot(options_.shots_dir.c_str(), name, trace_, drive::PngSaver(), &why)) {
    fprintf(stderr, "zqsim: screenshot %s: %s\n", name, why.CStr());
    status_ = 1;
  }
  if (!options_.shots_dir.empty()) {
    // The next steps may change the screen at once: the window is drawn
    // and read now, at the moment of the step.
    window_shot_ = options_.shots_dir + "/" + name + "-window.png";
    PaintFrame();
  }
}

void WindowRun::OnControl(Control c) {
  if (c == Control::kHelp) help_ = !help_;
  if (c != Control::kScreenshot) return;
  std::string dir = options_.shots_dir.empty() ? "." : options_.shots_dir;
  drive::Text name, why;
  drive::NextKeyShotName(dir.c_str(), &name);
  if (!drive::TakeShot(dir.c_str(), name.CStr(), trace_, drive::PngSaver(), &why)) {
    fprintf(stderr, "zqsim: screenshot: %s\n", why.CStr());
  } else {
    fprintf(stderr, "zqsim: saved %s/%s.png and %s-window.png\n", dir.c_str(), name.CStr(), name.CStr());
    window_shot_ = dir + "/" + name.CStr() + "-window.png";
  }
}

void WindowRun::HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      quit_ = true;
      break;
    case SDL_WINDOWEVENT:
      // Keys let go outside the window must not stay down on the phone.
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keyboard_.ReleaseAll();
      if (e.window.event == SDL_WINDOWEVENT_LEAVE) look_.hover = -1;
      break;
    case SDL_KEYDOWN:
      if (!e.key.repeat) keyboard_.Down(e.key.keysym.scancode, e.key.keysym.sym, e.key.keysym.mod);
      break;
    case SDL_KEYUP:
      keyboard_.Up(e.key.keysym.scancode);
      break;
    default:
      OnMouse(e);
  }
}

// A phone key under the mouse is held while the left button is: a held seek
// key seeks.
void WindowRun::OnMouse(const SDL_Event& e) {
  if (e.type == SDL_MOUSEMOTION) look_.hover = KeyAt(layout_.phone, e.motion.x, e.motion.y - layout_.phone_y);
  if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) {
    int key = KeyAt(layout_.phone, e.button.x, e.button.y - layout_.phone_y);
    look_.hover = key;
    if (key >= 0) keyboard_.Hold(kMouseId, static_cast<uint8_t>(key));
  }
  if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT) keyboard_.Up(kMouseId);
}

// The clock: the sound heard while a track plays, the wall clock otherwise.
void WindowRun::StepClock() {
  uint64_t wall = SDL_GetTicks64();
  uint64_t wall_step = wall - last_wall_;
  last_wall_ = wall;
  uint32_t step = sound_.DrivesClock()
                      ? sound_.TakePlayedMs()
                      : static_cast<uint32_t>(wall_step < kMaxWallStepMs ? wall_step : kMaxWallStepMs);
  if (step > 0) sim::Advance(step);
  drive::ForgetInjectedKeys();
  sound_.Update(sim::Volume(session_.VolumeType()), sim::TonesPlayed());
}

// The phone's keys are painted again whenever their look changes.
void WindowRun::PaintPhone() {
  if (phone_drawn_ && look_ == drawn_look_) return;
  phone_ = shell_;
  DrawPhoneKeys(phone_.data(), layout_.phone, font_, look_);
  SDL_UpdateTexture(sdl_.phone, nullptr, phone_.data(), layout_.phone.width * 3);
  drawn_look_ = look_;
  phone_drawn_ = true;
}

// Draws the frame without showing it; a pending window screenshot is read
// from it before it is shown.
void WindowRun::PaintFrame() {
  drive::ShowPhoneScreenIfHidden();
  SDL_UpdateTexture(sdl_.screen, nullptr, sim::FramebufferRgb(), kScreenW * 3);
  PanelState state = GatherState(session_, sound_);
  look_.held = keyboard_.HeldKeys();
  state.pointer = DescribeKey(look_.hover);
  DrawSidePanel(panel_.data(), layout_.panel_height, font_, state, help_);
  SDL_UpdateTexture(sdl_.panel, nullptr, panel_.data(), kPanelWidth * 3);
  PaintPhone();
  SDL_SetRenderDrawColor(sdl_.renderer, 0x0C, 0x0E, 0x11, 0xFF);
  SDL_RenderClear(sdl_.renderer);
  SDL_Rect phone_rect{0, layout_.phone_y, layout_.phone.width, layout_.phone.height};
  SDL_Rect screen_rect{layout_.screen_x, layout_.screen_y, layout_.screen_w, layout_.screen_h};
  SDL_Rect panel_rect{layout_.panel_x, 0, kPanelWidth * layout_.panel_zoom, layout_.panel_height * layout_.panel_zoom};
  SDL_RenderCopy(sdl_.renderer, sdl_.phone, nullptr, &phone_rect);
  SDL_RenderCopy(sdl_.renderer, sdl_.screen, nullptr, &screen_rect);
  SDL_RenderCopy(sdl_.renderer, sdl_.panel, nullptr, &panel_rect);
  if (!window_shot_.empty()) {
    if (!SaveWindow(sdl_.renderer, layout_.width, layout_.height, window_shot_))
      fprintf(stderr, "zqsim: cannot save %s\n", window_shot_.c_str());
    window_shot_.clear();
  }
}

int WindowRun::Loop() {
  while (!quit_) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) HandleEvent(e);
    StepClock();
    if (runner_ && !script_done_) {
      uint32_t wake = 0;
      script_done_ = !runner_->RunDue(sim::NowMs(), &wake);
    }
    // Why the player ended is zqsim's note of the unload.
    if (sim::UnloadRequested() || !sim::ImageLoaded()) quit_ = true;
    PaintFrame();
    SDL_RenderPresent(sdl_.renderer);
    // The script's last screenshot is taken by the frame above.
    if (script_done_) quit_ = true;
    SDL_Delay(10);
  }
  keyboard_.ReleaseAll();
  // The program's goodbye beep (and whatever sound is queued) is heard out
  // before the device closes.
  sound_.Update(sim::Volume(session_.VolumeType()), sim::TonesPlayed());
  sound_.Drain(kDrainMs);
  return status_;
}

}  // namespace

int RunWindow(const Options& options, const drive::Script* script, drive::Trace* trace, Session& session) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    fprintf(stderr, "zqsim: no window (%s); playing headless\n", SDL_GetError());
    SDL_Quit();
    return drive::RunHeadless(HeadlessRun(options), script, trace);
  }
  WindowRun run(options, trace, session);
  if (!run.Open()) return 1;
  if (script) run.AttachScript(*script);
  return run.Loop();
}

}  // namespace zqsim
