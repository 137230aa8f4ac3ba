// SPDX-License-Identifier: MIT
#include "tools/zqsim/window.h"

#include <SDL.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <memory>

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
constexpr int kMinWindowH = kMinWindowHeight;
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
  l.height = std::max(l.phone.height, kMinWindowH);
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

int RunWindow(const Options& options, const drive::Script* script, drive::Trace* trace, Session& session) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    fprintf(stderr, "zqsim: no window (%s); playing headless\n", SDL_GetError());
    SDL_Quit();
    return drive::RunHeadless(HeadlessRun(options), script, trace);
  }
  Sdl sdl;
  // The font first: the window shows up ready to draw and to take clicks.
  PanelFont font;
  if (!font.Load(ZQ_UNIFONT_HEX)) fprintf(stderr, "zqsim: cannot read %s; the panel shows boxes\n", ZQ_UNIFONT_HEX);
  const WindowLayout layout = MakeWindowLayout(options.scale);
  const int win_w = layout.width, win_h = layout.height;
  // The first click on the phone's keys counts even when another window had
  // the focus.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  sdl.window =
      SDL_CreateWindow("zqsim - ZQ lyrics player", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, win_w, win_h, 0);
  if (sdl.window) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, 0);
  if (sdl.renderer) {
    sdl.screen =
        SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, kScreenW, kScreenH);
    sdl.panel = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, kPanelWidth,
                                  layout.panel_height);
    sdl.phone = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, layout.phone.width,
                                  layout.phone.height);
  }
  if (!sdl.screen || !sdl.panel || !sdl.phone) {
    fprintf(stderr, "zqsim: cannot open the window: %s\n", SDL_GetError());
    return 1;
  }

  SoundOut sound;
  if (!sound.Open()) {
    fprintf(stderr, "zqsim: no sound device (%s); tracks play silently on the wall clock\n", SDL_GetError());
  }
  // With sound, a track ends when its sound has been heard to the end.
  sim::SetEngineEndsTracks(!sound.IsOpen());
  auto on_fact = [&](sim::Fact fact, uint32_t, const char*) {
    if (fact == sim::Fact::kEngineSeek) sound.NoteSeek();
  };
  trace->on_fact = drive::Call<void(sim::Fact, uint32_t, const char*)>(&on_fact);

  int status = 0;
  std::string window_shot;  // path of a window screenshot to take at the next render
  bool help = options.key_map, quit = false, script_done = false;
  std::vector<uint8_t> panel(static_cast<size_t>(kPanelWidth) * layout.panel_height * 3);
  // The phone's body is painted once; its keys again whenever their look
  // changes.
  std::vector<uint8_t> shell(static_cast<size_t>(layout.phone.width) * layout.phone.height * 3);
  DrawPhoneShell(shell.data(), layout.phone, font);
  std::vector<uint8_t> phone;
  BodyLook look, drawn_look;
  bool phone_drawn = false;
  uint64_t last_wall = SDL_GetTicks64();
  Keyboard keyboard(trace, [&](Control c) {
    if (c == Control::kHelp) help = !help;
    if (c == Control::kScreenshot) {
      std::string dir = options.shots_dir.empty() ? "." : options.shots_dir;
      drive::Text name, why;
      drive::NextKeyShotName(dir.c_str(), &name);
      if (!drive::TakeShot(dir.c_str(), name.CStr(), trace, drive::PngSaver(), &why)) {
        fprintf(stderr, "zqsim: screenshot: %s\n", why.CStr());
      } else {
        fprintf(stderr, "zqsim: saved %s/%s.png and %s-window.png\n", dir.c_str(), name.CStr(), name.CStr());
        window_shot = dir + "/" + name.CStr() + "-window.png";
      }
    }
  });
  // Draws the frame without showing it; a pending window screenshot is
  // read from it before it is shown.
  auto render = [&]() {
    drive::ShowPhoneScreenIfHidden();
    SDL_UpdateTexture(sdl.screen, nullptr, sim::FramebufferRgb(), kScreenW * 3);
    PanelState state = GatherState(session, sound);
    look.held = keyboard.HeldKeys();
    state.pointer = DescribeKey(look.hover);
    DrawSidePanel(panel.data(), layout.panel_height, font, state, help);
    SDL_UpdateTexture(sdl.panel, nullptr, panel.data(), kPanelWidth * 3);
    if (!phone_drawn || !(look == drawn_look)) {
      phone = shell;
      DrawPhoneKeys(phone.data(), layout.phone, font, look);
      SDL_UpdateTexture(sdl.phone, nullptr, phone.data(), layout.phone.width * 3);
      drawn_look = look;
      phone_drawn = true;
    }
    SDL_SetRenderDrawColor(sdl.renderer, 0x0C, 0x0E, 0x11, 0xFF);
    SDL_RenderClear(sdl.renderer);
    SDL_Rect phone_rect{0, layout.phone_y, layout.phone.width, layout.phone.height};
    SDL_Rect screen_rect{layout.screen_x, layout.screen_y, layout.screen_w, layout.screen_h};
    SDL_Rect panel_rect{layout.panel_x, 0, kPanelWidth * layout.panel_zoom, layout.panel_height * layout.panel_zoom};
    SDL_RenderCopy(sdl.renderer, sdl.phone, nullptr, &phone_rect);
    SDL_RenderCopy(sdl.renderer, sdl.screen, nullptr, &screen_rect);
    SDL_RenderCopy(sdl.renderer, sdl.panel, nullptr, &panel_rect);
    if (!window_shot.empty()) {
      if (!SaveWindow(sdl.renderer, win_w, win_h, window_shot))
        fprintf(stderr, "zqsim: cannot save %s\n", window_shot.c_str());
      window_shot.clear();
    }
  };

  // A script's keyboard keys go to the same keyboard as typed keys, at once,
  // so that they keep their order with the script's other steps. They are
  // told apart from typed keys (scan codes) by their place in the table of
  // keys.
  size_t key_count = 0;
  const drive::KeyboardKey* keys = drive::KeyboardKeys(&key_count);
  auto script_key = [&](const drive::KeyboardKey& key, bool down) {
    uint32_t id = 0x80000000u | static_cast<uint32_t>(&key - keys);
    if (down)
      keyboard.Down(id, key.action);
    else
      keyboard.Up(id);
  };
  auto script_shot = [&](const char* name) {
    drive::Text why;
    if (!drive::TakeShot(options.shots_dir.c_str(), name, trace, drive::PngSaver(), &why)) {
      fprintf(stderr, "zqsim: screenshot %s: %s\n", name, why.CStr());
      status = 1;
    }
    if (!options.shots_dir.empty()) {
      // The next steps may change the screen at once: the window is drawn
      // and read now, at the moment of the step.
      window_shot = options.shots_dir + "/" + name + "-window.png";
      render();
    }
  };
  std::unique_ptr<drive::ScriptRunner> runner;
  if (script) {
    drive::ScriptRunner::Hooks hooks;
    hooks.shot = drive::Call<void(const char*)>(&script_shot);
    hooks.keyboard = drive::Call<void(const drive::KeyboardKey&, bool)>(&script_key);
    runner = std::make_unique<drive::ScriptRunner>(*script, hooks, trace);
  }

  while (!quit) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_QUIT) quit = true;
      if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        // Keys let go outside the window must not stay down on the phone.
        keyboard.ReleaseAll();
      }
      if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_LEAVE) look.hover = -1;
      if (e.type == SDL_KEYDOWN && !e.key.repeat)
        keyboard.Down(e.key.keysym.scancode, e.key.keysym.sym, e.key.keysym.mod);
      if (e.type == SDL_KEYUP) keyboard.Up(e.key.keysym.scancode);
      // A phone key under the mouse is held while the left button is: a
      // held seek key seeks.
      if (e.type == SDL_MOUSEMOTION) look.hover = KeyAt(layout.phone, e.motion.x, e.motion.y - layout.phone_y);
      if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) {
        int key = KeyAt(layout.phone, e.button.x, e.button.y - layout.phone_y);
        look.hover = key;
        if (key >= 0) keyboard.Hold(kMouseId, static_cast<uint8_t>(key));
      }
      if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT) keyboard.Up(kMouseId);
    }

    // The clock: the sound heard while a track plays, the wall clock otherwise.
    uint64_t wall = SDL_GetTicks64();
    uint64_t wall_step = wall - last_wall;
    last_wall = wall;
    uint32_t step = sound.DrivesClock()
                        ? sound.TakePlayedMs()
                        : static_cast<uint32_t>(wall_step < kMaxWallStepMs ? wall_step : kMaxWallStepMs);
    if (step > 0) sim::Advance(step);
    drive::ForgetInjectedKeys();
    sound.Update(sim::Volume(session.VolumeType()), sim::TonesPlayed());

    if (runner && !script_done) {
      uint32_t wake = 0;
      script_done = !runner->RunDue(sim::NowMs(), &wake);
    }
    // Why the player ended is zqsim's note of the unload.
    if (sim::UnloadRequested() || !sim::ImageLoaded()) quit = true;

    render();
    SDL_RenderPresent(sdl.renderer);
    // The script's last screenshot is taken by the frame above.
    if (script_done) quit = true;
    SDL_Delay(10);
  }
  keyboard.ReleaseAll();
  // The program's goodbye beep (and whatever sound is queued) is heard out
  // before the device closes.
  sound.Update(sim::Volume(session.VolumeType()), sim::TonesPlayed());
  sound.Drain(kDrainMs);
  trace->on_fact = drive::FactListener{};
  return status;
}

}  // namespace zqsim
