// SPDX-License-Identifier: MIT
// The track list: the names of the *.mp3 and *.m4a files of the starting
// track's folder, listed once at start, and the moves to the next and the
// previous entry with wrap-around.
#include "playback/tracklist.h"

#include "app/app.h"
#include "app/func.h"
#include "playback/engine.h"
#include "playback/track_step.h"

namespace {

constexpr uint32_t kSlotUnits = TRACK_SLOT_BYTES / sizeof(WCHAR);
constexpr uint32_t kExtUnits = 16;  // an extension of up to 15 units
constexpr uint32_t kPathLimit = ZQ_PATH_UNITS - 1;

const WCHAR kSearchPrefix[] = u"file:/";
const WCHAR kPatternMp3[] = u"*.mp3";
const WCHAR kPatternM4a[] = u"*.m4a";
const WCHAR kExtMp3[] = u"MP3";
const WCHAR kExtM4a[] = u"M4A";
const WCHAR kSlash[] = u"/";
const WCHAR kDot[] = u".";
const WCHAR kPatternSeparator[] = {(WCHAR)FS_PATTERN_SEPARATOR, 0};

WCHAR* Slot(PlayerAppT* record, uint32_t k) {
  return record->file_list + k * kSlotUnits;
}

// Units of filename before its name part (the folder, up to and including
// its last "/"), or -1 when it has no folder part.
int32_t FolderUnits(const WCHAR* path) {
  const WCHAR* name = SplitPath(path, kSlash);
  return name == nullptr ? -1 : (int32_t)(name - path);
}

// True when the extension of `name` is MP3 or M4A in any letter case.
bool IsAudioName(const WCHAR* name) {
  const WCHAR* ext = SplitPath(name, kDot);
  if (ext == nullptr) return false;
  if (u_strlen(ext) >= kExtUnits) return false;
  WCHAR upper[kExtUnits];
  u_strcpy(upper, ext);
  u_strmakeupper(upper);
  return u_strcmp(upper, kExtMp3) == 0 || u_strcmp(upper, kExtM4a) == 0;
}

// "file:/", the folder of filename, then each pattern behind the separator
// unit. False when the folder is unknown or the text would not fit.
bool BuildSearchText(int32_t folder) {
  if (folder < 0) return false;
  uint32_t needed = u_strlen(kSearchPrefix) + (uint32_t)folder + 2 + u_strlen(kPatternMp3) + u_strlen(kPatternM4a);
  if (needed > kPathLimit) return false;
  u_strcpy(player.cur_dir, kSearchPrefix);
  uint32_t at = u_strlen(player.cur_dir);
  for (int32_t i = 0; i < folder; ++i) player.cur_dir[at + (uint32_t)i] = player.filename[i];
  player.cur_dir[at + (uint32_t)folder] = 0;
  u_strcat(player.cur_dir, kPatternSeparator);
  u_strcat(player.cur_dir, kPatternMp3);
  u_strcat(player.cur_dir, kPatternSeparator);
  u_strcat(player.cur_dir, kPatternM4a);
  return true;
}

// Replaces the name part of filename by list entry `cur`. The search took
// only names that fit behind the folder, so this never runs past the buffer;
// the test stays in case the folder part is not the one searched.
void TakeEntry(PlayerAppT* record) {
  WCHAR* name = SplitPath(player.filename, kSlash);
  if (name == nullptr || record->file_list == nullptr) return;
  const WCHAR* entry = Slot(record, player.cur);
  uint32_t folder = (uint32_t)(name - player.filename);
  if (folder + u_strlen(entry) > kPathLimit) return;
  u_strcpy(name, entry);
}

}  // namespace

uint32_t search(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  PlayerAppT* record = (PlayerAppT*)app;
  int32_t folder = FolderUnits(player.filename);
  if (!BuildSearchText(folder)) return 1;

  FS_SEARCH_PARAMS_T params = {};
  params.flags = FS_SEARCH_FLAGS;
  uint8_t handle = 0;
  uint16_t total = 0;
  uint32_t status = DL_FsSSearch(params, player.cur_dir, &handle, &total, 0);
  if (status != 0) return status;

  // No results: the list stays empty, which only means that the track
  // changes restart the current track.
  if (total == 0) {
    DL_FsSearchClose(handle);
    return 0;
  }
  record->file_list = (WCHAR*)suAllocMem((uint32_t)total * TRACK_SLOT_BYTES, nullptr);
  if (record->file_list == nullptr) {
    DL_FsSearchClose(handle);
    player_destroyApp(ev_st, app);
    return 1;
  }

  const WCHAR* current = player.filename + folder;
  uint16_t k = 0;
  FS_SEARCH_RESULT_T result;
  for (uint16_t i = 0; i < total; ++i) {
    uint16_t n = 1;
    // A result that the call did not deliver (its count says none) is skipped
    // like one that failed: the record holds an earlier result, or nothing.
    if (DL_FsSearchResults(handle, i, &n, &result) != 0 || n == 0) continue;
    result.name[FS_URI_UNITS - 1] = 0;  // never read past the record
    const WCHAR* name = SplitPath(result.name, kSlash);
    if (name == nullptr || !IsAudioName(name)) continue;
    // A name that a slot cannot hold, or that would make the track's path
    // too long, takes no slot: it could never be played from this list.
    uint32_t len = u_strlen(name);
    if (len > TRACK_NAME_UNITS || (uint32_t)folder + len > kPathLimit) continue;
    u_strcpy(Slot(record, k), name);
    if (u_strcmp(name, current) == 0) player.cur = k;
    ++k;
  }
  player.count = k;
  DL_FsSearchClose(handle);
  return 0;
}

void StepToNextTrack(APPLICATION_T* app) {
  if (player.count <= 1) return;
  player.cur = (uint16_t)((player.cur + 1) % player.count);
  TakeEntry((PlayerAppT*)app);
}

void StepToPreviousTrack(APPLICATION_T* app) {
  if (player.count <= 1) return;
  player.cur = player.cur == 0 ? (uint16_t)(player.count - 1) : (uint16_t)((player.cur - 1) % player.count);
  TakeEntry((PlayerAppT*)app);
}

uint32_t Next(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  Delete();
  APP_UtilStopTimer(app);
  StepToNextTrack(app);
  return Create(ev_st, app);
}

uint32_t Back(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  Delete();
  APP_UtilStopTimer(app);
  StepToPreviousTrack(app);
  return Create(ev_st, app);
}
