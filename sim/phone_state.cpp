// SPDX-License-Identifier: MIT
// What the phone is doing around the program: a voice call, what is in front
// while the player's screen is hidden, the type of the active dialog, and the
// platform's name.
#include "platform/canvas.h"
#include "platform/firmware.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

constexpr size_t kNameBytes = 32;

// Dialog types the stand-in reports.
constexpr uint8_t kDialogIdle = 14;           // the idle screen, the working table
constexpr uint8_t kDialogOther = 7;           // another application in front
constexpr uint8_t kDialogCall = 0x30;         // the call screen
constexpr uint8_t kDialogShellCanvas = 0x21;  // the player's own screen

struct Phone {
  bool voice_call;
  Front front;
  char platform[kNameBytes];
};

Phone p;

uint8_t DialogType() {
  if (p.voice_call) return kDialogCall;
  if (App* shell = RunningShell())
    if (reinterpret_cast<const APPLICATION_T*>(shell->record)->dialog != 0) return kDialogShellCanvas;
  return p.front == Front::kIdle ? kDialogIdle : kDialogOther;
}

}  // namespace

void PhoneReset() {
  ZeroBytes(&p, sizeof(p));
  p.front = Front::kIdle;
  CopyText(p.platform, sizeof(p.platform), "ZQ");
}

}  // namespace sim::fw

namespace sim {

using fw::p;

void SetVoiceCall(bool active) {
  if (active == p.voice_call) return;
  p.voice_call = active;
  if (active) {
    internal::MediaVoiceCallStarted();
  } else {
    // The call screen covered the shell's canvas: it shows again, and the
    // shell is told to paint itself again.
    internal::CanvasUncover();
    if (fw::App* shell = fw::RunningShell()) fw::QueueToApp(shell->serial, EV_REDRAW, nullptr, 0);
  }
  RunPending();
}

bool VoiceCall() {
  return p.voice_call;
}
void SetFront(Front front) {
  p.front = front;
  // Another application or the idle screen coming forward takes the display
  // from a shell that holds the UI token: the firmware revokes the token.
  fw::App* shell = fw::RunningShell();
  if (shell == nullptr || reinterpret_cast<const APPLICATION_T*>(shell->record)->token_status != APP_TOKEN_HELD) return;
  fw::QueueToApp(shell->serial, EV_UI_TOKEN_REVOKED, nullptr, 0);
  RunPending();
}
Front CurrentFront() {
  return p.front;
}

void SetPlatformName(const char* name) {
  if (!name) name = "";
  fw::CopyText(p.platform, sizeof(p.platform), name);
}

uint8_t ActiveDialogType() {
  return fw::DialogType();
}

namespace internal {
bool VoiceCallActive() {
  return p.voice_call;
}
}  // namespace internal

}  // namespace sim

using sim::fw::p;

ZQ_EXTERN_C uint32_t UIS_GetActiveDialogType(uint8_t* type) {
  if (!type) return 1;
  *type = sim::fw::DialogType();
  return 0;
}

ZQ_EXTERN_C uint32_t APP_MMC_Util_IsVoiceCall(void) {
  return p.voice_call ? 1 : 0;
}

ZQ_EXTERN_C const char* LdrGetPlatformName(void) {
  return p.platform;
}
