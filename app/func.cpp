// SPDX-License-Identifier: MIT
// Small helpers over single firmware services: the keypad-lock and idle-screen
// tests that gate key handling, the volume type of the platform, key
// injection, splitting a path at its last separator, one word of the feature
// database, and a debug print.
#include "app/func.h"

uint8_t KeypadLock() {
  // The feature id sits in the low half of the word the firmware keeps there.
  uint16_t feature = (uint16_t)(FwReadU32(KEYPAD_STATE) & 0xFFFFu);
  uint8_t state = 0;
  DL_DbFeatureGetCurrentState(feature, &state);
  return state;
}

uint8_t WorkingTable() {
  uint8_t type = 0;
  UIS_GetActiveDialogType(&type);
  return type == DIALOG_TYPE_WORKING_TABLE ? 1 : 0;
}

uint8_t VolumeType() {
  const char* platform = LdrGetPlatformName();
  if (platform != nullptr && namecmp(platform, AUD_PLATFORM_LTE) == 0) return AUD_VOLUME_TYPE_LTE;
  return AUD_VOLUME_TYPE_DEFAULT;
}

void p_key(uint8_t code) {
  DL_KeyInjectKeyPress(code, KEY_INJECT_PRESS, 0);
  DL_KeyInjectKeyPress(code, KEY_INJECT_RELEASE, 0);
}

WCHAR* SplitPath(const WCHAR* s, const WCHAR* sep) {
  // The search starts at the next-to-last unit and never looks at unit 0: a
  // separator that ends the string or starts it is not taken.
  int32_t len = (int32_t)u_strlen(s);
  for (int32_t i = len - 2; i >= 1; --i) {
    if (u_strncmp(&s[i], sep, 1) == 0) return (WCHAR*)&s[i + 1];
  }
  return nullptr;
}

uint32_t fReadDB(uint32_t offset) {
  uint32_t result = 0;
  WCHAR path[32] = u"file://b/Elf/phone.db";
  if (DL_FsFFileExist(path) != 1) return 0;
  FILE_HANDLE_T handle = DL_FsOpenFile(path, 0, 0);
  if (handle == FS_INVALID_HANDLE) return 0;
  DL_FsFSeekFile(handle, (int32_t)offset, 0);
  uint32_t read = 0;
  DL_FsReadFile(&result, 4, 1, handle, &read);
  DL_FsCloseFile(handle);
  // The four bytes are taken as stored, in the processor's order. The count
  // read is not looked at: bytes not read keep the preset 0.
  return result;
}

void u_PFprintf(const char* format, const WCHAR* text) {
  uint32_t size = u_strlen(text) + 1;
  char* buffer = (char*)suAllocMem(size, nullptr);
  if (buffer == nullptr) return;
  u_utoa(text, buffer);
  PFprintf(format, buffer);
  suFreeMem(buffer);
}
