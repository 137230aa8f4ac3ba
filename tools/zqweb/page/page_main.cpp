// SPDX-License-Identifier: MIT
// The page's own entry points for a person at the page: the phone drawn as
// zqsim's window draws it (its body, keys and side panel, from tools/zqsim),
// the program started on a folder the page has written into the file system,
// keys from the mouse and the keyboard (zqsim's map), and the clock moved by
// the page's wall clock. The engine's facts go to the page, whose audio
// element plays the track; its end comes back as the end of the track. The
// headless run for zqweb is the box program's main (tools/zqbox/box_main.cpp).
#include <emscripten.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "drive/screen_shot.h"
#include "drive/start_image.h"
#include "drive/trace.h"
#include "platform/audio.h"
#include "sim/driver.h"
#include "tools/zqsim/key_map.h"
#include "tools/zqsim/lyrics_facts.h"
#include "tools/zqsim/phone_body.h"
#include "tools/zqsim/side_panel.h"

EM_JS(void, zq_js_fact, (int fact, uint32_t value, const char* text), {
  if (Module.onFact) Module.onFact(fact, value, text ? UTF8ToString(text) : "");
});

namespace {

constexpr int kScreenW = 176;
constexpr int kScreenH = 220;
constexpr int kScale = 2;
constexpr uint32_t kMouseId = 0x40000000u;

struct View {
  zqsim::PhoneBody phone = zqsim::MakePhoneBody(kScale);
  int height = std::max(phone.height, zqsim::kMinWindowHeight);
  int phone_y = (height - phone.height) / 2;
  int panel_zoom = phone.zoom;
  int panel_height = height / panel_zoom;
  int width = phone.width + zqsim::kPanelWidth * panel_zoom;
  zqsim::PanelFont font;
  std::vector<uint8_t> shell, panel, rgba;
  zqsim::BodyLook look;
  bool help = false;
  bool sound = false;
  uint8_t volume_type = AUD_VOLUME_TYPE_DEFAULT;
  std::unique_ptr<drive::Trace> trace;
  std::unique_ptr<zqsim::Keyboard> keyboard;
  std::string error;
};
View* g_view = nullptr;

void OnFact(void*, sim::Fact fact, uint32_t value, const char* text) {
  zq_js_fact((int)fact, value, text);
}

zqsim::PanelState GatherState(const View& v) {
  zqsim::PanelState st;
  st.indicator = sim::Indicator();
  st.keypad_locked = sim::KeypadLocked();
  st.voice_call = sim::VoiceCall();
  st.front_other = sim::CurrentFront() == sim::Front::kOther;
  st.player_hidden = drive::PlayerScreenHidden();
  st.program_running = sim::ImageLoaded() && !sim::UnloadRequested();
  st.volume_type = v.volume_type;
  st.volume = sim::Volume(v.volume_type);
  sim::PlaybackInfo info{};
  if (sim::GetPlaybackInfo(&info) && info.exists) {
    st.track = info.name;
    st.track_playing = info.playing;
    st.position_ms = info.position_ms;
    st.length_ms = info.length_ms;
  }
  st.clock_ms = sim::NowMs();
  st.sound = v.sound;
  st.lyrics = zqsim::CurrentLyrics();
  if (v.look.hover >= 0) {
    char code[8];
    snprintf(code, sizeof code, "%02X", (unsigned)(v.look.hover & 0xFF));
    std::string names = zqsim::KeyboardNames((uint8_t)v.look.hover);
    st.pointer = std::string("key ") + code + (names.empty() ? "" : " (keyboard: " + names + ")");
  }
  return st;
}

// Copies an RGB picture into the RGBA frame at (x, y), each pixel zoom x zoom.
void Blit(View& v, const uint8_t* rgb, int w, int h, int x, int y, int zoom) {
  for (int row = 0; row < h * zoom; ++row) {
    int fy = y + row;
    if (fy < 0 || fy >= v.height) continue;
    for (int col = 0; col < w * zoom; ++col) {
      int fx = x + col;
      if (fx < 0 || fx >= v.width) continue;
      const uint8_t* s = rgb + ((size_t)(row / zoom) * w + col / zoom) * 3;
      uint8_t* d = v.rgba.data() + ((size_t)fy * v.width + fx) * 4;
      d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
    }
  }
}

}  // namespace

extern "C" {

// Sets up the view once: the font and the phone's body.
EMSCRIPTEN_KEEPALIVE int ZqViewOpen(const char* font_path) {
  if (g_view != nullptr) return 1;
  g_view = new View;
  View& v = *g_view;
  v.font.Load(font_path);
  v.shell.resize((size_t)v.phone.width * v.phone.height * 3);
  zqsim::DrawPhoneShell(v.shell.data(), v.phone, v.font);
  v.panel.resize((size_t)zqsim::kPanelWidth * v.panel_height * 3);
  v.rgba.assign((size_t)v.width * v.height * 4, 255);
  v.trace = std::make_unique<drive::Trace>(drive::StandardOutput());
  v.trace->on_fact.fn = &OnFact;
  v.keyboard = std::make_unique<zqsim::Keyboard>(v.trace.get(), [](zqsim::Control c) {
    if (c == zqsim::Control::kHelp) g_view->help = !g_view->help;
  });
  return 1;
}

EMSCRIPTEN_KEEPALIVE int ZqViewWidth() { return g_view ? g_view->width : 0; }
EMSCRIPTEN_KEEPALIVE int ZqViewHeight() { return g_view ? g_view->height : 0; }

// Starts `image` on the track `start_uri` of the phone whose card is the
// folder `root`; false with the reason in ZqPageError(). Lengths the page
// knows are given before with ZqPageTrackLength.
EMSCRIPTEN_KEEPALIVE int ZqPageStart(const char* image, const char* root, const char* start_uri, const char* gb2uc,
                                       int sound) {
  View& v = *g_view;
  v.trace->Detach();
  if (sim::ImageLoaded()) sim::UnloadImage();
  v.keyboard->ReleaseAll();
  v.error.clear();
  v.sound = sound != 0;
  if (!sim::SetRoot(root)) {
    v.error = std::string("the phone cannot use the folder ") + root;
    return 0;
  }
  if (gb2uc != nullptr && gb2uc[0] != '\0') sim::InstallGb2ucFile(gb2uc);
  sim::SetEngineEndsTracks(!v.sound);
  v.trace->Attach();
  drive::Text error;
  if (!drive::StartImage(image, start_uri, &error)) {
    v.error = error.CStr();
    return 0;
  }
  return 1;
}

// Puts the stand-in back to its first state (before ZqPageTrackLength
// calls and ZqPageStart).
EMSCRIPTEN_KEEPALIVE void ZqPageReset() {
  if (g_view) g_view->trace->Detach();
  if (sim::ImageLoaded()) sim::UnloadImage();
  sim::Reset();
}

EMSCRIPTEN_KEEPALIVE void ZqPageTrackLength(const char* uri, uint32_t ms) { sim::SetTrackLength(uri, ms); }
EMSCRIPTEN_KEEPALIVE const char* ZqPageError() { return g_view ? g_view->error.c_str() : ""; }
EMSCRIPTEN_KEEPALIVE void ZqPageSound(int on) {
  g_view->sound = on != 0;
  sim::SetEngineEndsTracks(!g_view->sound);
}
// Where the playing track is, in milliseconds; -1 when none is playing.
EMSCRIPTEN_KEEPALIVE int32_t ZqPagePlayingMs() {
  sim::PlaybackInfo info{};
  if (!sim::GetPlaybackInfo(&info) || !info.exists || !info.playing) return -1;
  return (int32_t)info.position_ms;
}
EMSCRIPTEN_KEEPALIVE void ZqPageAdvance(uint32_t ms) {
  if (sim::ImageLoaded()) sim::Advance(ms);
}
// The audio element ended the track (1), or could not play it (2).
EMSCRIPTEN_KEEPALIVE void ZqPageTrackEnded(int broken) {
  if (broken)
    sim::BreakOffTrack();
  else
    sim::EndTrack(1);
}

// A keyboard key (SDL's key codes and modifiers; `id` tells keys apart).
EMSCRIPTEN_KEEPALIVE void ZqViewKey(uint32_t id, int32_t sym, uint16_t mod, int down) {
  if (down)
    g_view->keyboard->Down(id, (SDL_Keycode)sym, mod);
  else
    g_view->keyboard->Up(id);
}

// The mouse at (x, y) of the view: 0 moved, 1 pressed, 2 released, 3 left.
EMSCRIPTEN_KEEPALIVE void ZqViewMouse(int x, int y, int what) {
  View& v = *g_view;
  v.look.hover = what == 3 ? -1 : zqsim::KeyAt(v.phone, x, y - v.phone_y);
  if (what == 1 && v.look.hover >= 0) v.keyboard->Hold(kMouseId, (uint8_t)v.look.hover);
  if (what == 2 || what == 3) v.keyboard->Up(kMouseId);
}

EMSCRIPTEN_KEEPALIVE void ZqViewHelp(int on) { g_view->help = on != 0; }

// The middle of the phone key `code` in the view, as x * 65536 + y; -1 when
// the phone has no such key.
EMSCRIPTEN_KEEPALIVE int32_t ZqViewKeyCenter(int code) {
  const zqsim::BodyKey* key = zqsim::FindBodyKey(g_view->phone, (uint8_t)code);
  if (key == nullptr) return -1;
  return (key->rect.x + key->rect.w / 2) * 65536 + g_view->phone_y + key->rect.y + key->rect.h / 2;
}

// Paints the view and returns its RGBA pixels (width x height).
EMSCRIPTEN_KEEPALIVE const uint8_t* ZqViewPaint() {
  View& v = *g_view;
  drive::ShowPhoneScreenIfHidden();
  v.look.held = v.keyboard->HeldKeys();
  std::vector<uint8_t> phone = v.shell;
  zqsim::DrawPhoneKeys(phone.data(), v.phone, v.font, v.look);
  zqsim::DrawSidePanel(v.panel.data(), v.panel_height, v.font, GatherState(v), v.help);
  std::fill(v.rgba.begin(), v.rgba.end(), 0);
  for (size_t i = 0; i < v.rgba.size(); i += 4) v.rgba[i] = 0x0C, v.rgba[i + 1] = 0x0E, v.rgba[i + 2] = 0x11, v.rgba[i + 3] = 255;
  Blit(v, phone.data(), v.phone.width, v.phone.height, 0, v.phone_y, 1);
  // The screen is scaled into its place behind the glass.
  int zoom = std::max(1, v.phone.screen.w / kScreenW);
  Blit(v, sim::FramebufferRgb(), kScreenW, kScreenH, v.phone.screen.x, v.phone_y + v.phone.screen.y, zoom);
  Blit(v, v.panel.data(), zqsim::kPanelWidth, v.panel_height, v.phone.width, 0, v.panel_zoom);
  return v.rgba.data();
}

}  // extern "C"
