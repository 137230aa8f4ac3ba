// The phone around the program: keypad lock (through the feature database),
// voice call, what is in front, the platform name, the music status
// indicator, the volume of each volume type and tones.
#include "platform/audio.h"
#include "platform/canvas.h"
#include "platform/firmware.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

constexpr int kVolumeTypes = 16;
constexpr uint8_t kDefaultVolume = 4;
constexpr size_t kNameBytes = 32;

// Dialog types the stand-in reports.
constexpr uint8_t kDialogIdle = 14;           // the idle screen, the working table
constexpr uint8_t kDialogOther = 7;           // another application in front
constexpr uint8_t kDialogCall = 0x30;         // the call screen
constexpr uint8_t kDialogShellCanvas = 0x21;  // the player's own screen

struct Phone {
  bool keypad_locked;
  bool voice_call;
  Front front;
  char platform[kNameBytes];
  uint8_t volume[kVolumeTypes];
  uint8_t indicator;
  uint32_t tones;
};

Phone p;

uint8_t dialog_type() {
  if (p.voice_call) return kDialogCall;
  if (App* shell = running_shell())
    if (reinterpret_cast<const APPLICATION_T*>(shell->record)->dialog != 0) return kDialogShellCanvas;
  return p.front == Front::Idle ? kDialogIdle : kDialogOther;
}

}  // namespace

void phone_reset() {
  zero_bytes(&p, sizeof(p));
  p.front = Front::Idle;
  copy_text(p.platform, sizeof(p.platform), "ZQ");
  for (auto& v : p.volume) v = kDefaultVolume;
}

}  // namespace sim::fw

namespace sim {

using fw::p;

void set_keypad_lock(bool locked) {
  p.keypad_locked = locked;
}

void set_voice_call(bool active) {
  if (active == p.voice_call) return;
  p.voice_call = active;
  if (active) {
    internal::media_voice_call_started();
  } else {
    // The call screen covered the shell's canvas: it shows again, and the
    // shell is told to paint itself again.
    internal::canvas_uncover();
    if (fw::App* shell = fw::running_shell()) fw::queue_to_app(shell->serial, EV_REDRAW, nullptr, 0);
  }
  run_pending();
}

bool voice_call() {
  return p.voice_call;
}
void set_front(Front front) {
  p.front = front;
}
Front front() {
  return p.front;
}

void set_platform_name(const char* name) {
  if (!name) name = "";
  fw::copy_text(p.platform, sizeof(p.platform), name);
}

uint8_t volume(uint8_t type) {
  return type < fw::kVolumeTypes ? p.volume[type] : 0;
}

void set_volume(uint8_t type, uint8_t level) {
  if (type < fw::kVolumeTypes) p.volume[type] = level > AUD_VOLUME_MAX ? AUD_VOLUME_MAX : level;
}

uint8_t indicator() {
  return p.indicator;
}
uint32_t tones_played() {
  return p.tones;
}
uint8_t active_dialog_type() {
  return fw::dialog_type();
}

namespace internal {
bool voice_call_active() {
  return p.voice_call;
}
}  // namespace internal

}  // namespace sim

using sim::fw::p;

ZQ_EXTERN_C uint32_t DL_DbFeatureGetCurrentState(uint16_t feature, uint8_t* state) {
  if (!state) return 1;
  *state = feature == sim::internal::kKeypadLockFeature && p.keypad_locked ? 1 : 0;
  return 0;
}

ZQ_EXTERN_C uint32_t UIS_GetActiveDialogType(uint8_t* type) {
  if (!type) return 1;
  *type = sim::fw::dialog_type();
  return 0;
}

ZQ_EXTERN_C uint32_t UIS_SetStatus(uint8_t indicator, uint8_t value) {
  if (indicator != sim::internal::kIndicatorId) return 0;  // indicators of other applications
  p.indicator = value;
  sim::internal::emit(sim::Fact::Indicator, value, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t APP_MMC_Util_IsVoiceCall(void) {
  return p.voice_call ? 1 : 0;
}

ZQ_EXTERN_C const char* LdrGetPlatformName(void) {
  return p.platform;
}

ZQ_EXTERN_C uint32_t DL_AudGetVolumeSetting(uint8_t type, uint8_t* level) {
  if (!level || type >= sim::fw::kVolumeTypes) return 1;
  *level = p.volume[type];
  return 0;
}

ZQ_EXTERN_C uint32_t DL_AudSetVolumeSetting(uint8_t type, uint8_t level) {
  if (type >= sim::fw::kVolumeTypes || level > AUD_VOLUME_MAX) return 1;
  p.volume[type] = level;
  sim::internal::emit(sim::Fact::Volume, level, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t DL_AudPlayTone(uint32_t, uint32_t) {
  ++p.tones;
  return 0;
}

namespace sim {
bool keypad_locked() {
  return p.keypad_locked;
}
}  // namespace sim
