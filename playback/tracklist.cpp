// The track list: the names of the *.mp3 and *.m4a files of the starting
// track's folder, listed once at start, and the moves to the next and the
// previous entry with wrap-around.
#include "playback/tracklist.h"

#include "app/app.h"
#include "app/func.h"
#include "playback/engine.h"
#include "playback/track_step.h"

namespace {

constexpr uint32_t SLOT_UNITS = TRACK_SLOT_BYTES / sizeof(WCHAR);
constexpr uint32_t EXT_UNITS = 16;  // an extension of up to 15 units
constexpr uint32_t PATH_LIMIT = ZQ_PATH_UNITS - 1;

const WCHAR SEARCH_PREFIX[] = u"file:/";
const WCHAR PATTERN_MP3[] = u"*.mp3";
const WCHAR PATTERN_M4A[] = u"*.m4a";
const WCHAR EXT_MP3[] = u"MP3";
const WCHAR EXT_M4A[] = u"M4A";
const WCHAR SEP_FOLDER[] = u"/";
const WCHAR SEP_EXT[] = u".";
const WCHAR PATTERN_SEPARATOR[] = {(WCHAR)FS_PATTERN_SEPARATOR, 0};

WCHAR* slot(PLAYER_APP_T* record, uint32_t k) {
  return record->file_list + k * SLOT_UNITS;
}

// Units of filename before its name part (the folder, up to and including
// its last "/"), or -1 when it has no folder part.
int32_t folder_units(const WCHAR* path) {
  const WCHAR* name = SplitPath(path, SEP_FOLDER);
  return name == nullptr ? -1 : (int32_t)(name - path);
}

// True when the extension of `name` is MP3 or M4A in any letter case.
bool is_audio_name(const WCHAR* name) {
  const WCHAR* ext = SplitPath(name, SEP_EXT);
  if (ext == nullptr) return false;
  if (u_strlen(ext) >= EXT_UNITS) return false;
  WCHAR upper[EXT_UNITS];
  u_strcpy(upper, ext);
  u_strmakeupper(upper);
  return u_strcmp(upper, EXT_MP3) == 0 || u_strcmp(upper, EXT_M4A) == 0;
}

// "file:/", the folder of filename, then each pattern behind the separator
// unit. False when the folder is unknown or the text would not fit.
bool build_search_text(int32_t folder) {
  if (folder < 0) return false;
  uint32_t needed = u_strlen(SEARCH_PREFIX) + (uint32_t)folder + 2 + u_strlen(PATTERN_MP3) + u_strlen(PATTERN_M4A);
  if (needed > PATH_LIMIT) return false;
  u_strcpy(player.cur_dir, SEARCH_PREFIX);
  uint32_t at = u_strlen(player.cur_dir);
  for (int32_t i = 0; i < folder; ++i) player.cur_dir[at + (uint32_t)i] = player.filename[i];
  player.cur_dir[at + (uint32_t)folder] = 0;
  u_strcat(player.cur_dir, PATTERN_SEPARATOR);
  u_strcat(player.cur_dir, PATTERN_MP3);
  u_strcat(player.cur_dir, PATTERN_SEPARATOR);
  u_strcat(player.cur_dir, PATTERN_M4A);
  return true;
}

// Replaces the name part of filename by list entry `cur`. The search took
// only names that fit behind the folder, so this never runs past the buffer;
// the test stays in case the folder part is not the one searched.
void take_entry(PLAYER_APP_T* record) {
  WCHAR* name = SplitPath(player.filename, SEP_FOLDER);
  if (name == nullptr || record->file_list == nullptr) return;
  const WCHAR* entry = slot(record, player.cur);
  uint32_t folder = (uint32_t)(name - player.filename);
  if (folder + u_strlen(entry) > PATH_LIMIT) return;
  u_strcpy(name, entry);
}

}  // namespace

uint32_t search(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  PLAYER_APP_T* record = (PLAYER_APP_T*)app;
  int32_t folder = folder_units(player.filename);
  if (!build_search_text(folder)) return 1;

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
    if (DL_FsSearchResults(handle, i, &n, &result) != 0) continue;
    result.name[FS_URI_UNITS - 1] = 0;  // never read past the record
    const WCHAR* name = SplitPath(result.name, SEP_FOLDER);
    if (name == nullptr || !is_audio_name(name)) continue;
    // A name that a slot cannot hold, or that would make the track's path
    // too long, takes no slot: it could never be played from this list.
    uint32_t len = u_strlen(name);
    if (len > TRACK_NAME_UNITS || (uint32_t)folder + len > PATH_LIMIT) continue;
    u_strcpy(slot(record, k), name);
    if (u_strcmp(name, current) == 0) player.cur = k;
    ++k;
  }
  player.count = k;
  DL_FsSearchClose(handle);
  return 0;
}

void step_to_next_track(APPLICATION_T* app) {
  if (player.count <= 1) return;
  player.cur = (uint16_t)((player.cur + 1) % player.count);
  take_entry((PLAYER_APP_T*)app);
}

void step_to_previous_track(APPLICATION_T* app) {
  if (player.count <= 1) return;
  player.cur = player.cur == 0 ? (uint16_t)(player.count - 1) : (uint16_t)((player.cur - 1) % player.count);
  take_entry((PLAYER_APP_T*)app);
}

uint32_t Next(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  Delete();
  APP_UtilStopTimer(app);
  step_to_next_track(app);
  return Create(ev_st, app);
}

uint32_t Back(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  Delete();
  APP_UtilStopTimer(app);
  step_to_previous_track(app);
  return Create(ev_st, app);
}
