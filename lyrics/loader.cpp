// SPDX-License-Identifier: MIT
// Finds the current track's lyrics file in the one lyrics folder, reads it
// whole and hands it to the parser. The result goes to player.lrc, the status
// to player.iRet.
#include "lyrics/loader.h"

#include "app/func.h"
#include "app/player_state.h"
#include "lyrics/parser.h"

namespace {

const WCHAR kLyricsFolder[] = u"file://b/mobile/audio/lrc/";
const WCHAR kSeparator[] = u"/";
const WCHAR kLrc[] = u"lrc";
const WCHAR kTxt[] = u"txt";
constexpr uint32_t kExtensionUnits = 3;
// The parser takes at most this many bytes (its positions are 16 bits wide).
constexpr uint32_t kMaxFileBytes = 65534;

// Replaces the path's last three units with `extension`.
void SetExtension(WCHAR* path, const WCHAR* extension) {
  path[u_strlen(path) - kExtensionUnits] = 0;
  u_strcat(path, extension);
}

// Reads the open file whole and parses it. Closes the file.
void LoadOpenFile(FILE_HANDLE_T handle) {
  uint32_t size = DL_FsGetFileSize(handle);
  // An empty file or one too long for the parser is a file error; the parser
  // never sees bytes that were not read.
  if (size == 0 || size > kMaxFileBytes) {
    DL_FsCloseFile(handle);
    player.iRet = kLrcErrFile;
    return;
  }
  uint8_t* bytes = (uint8_t*)suAllocMem(size, nullptr);
  if (bytes == nullptr) {
    DL_FsCloseFile(handle);
    player.iRet = kLrcErrMemory;
    return;
  }
  uint32_t items_read = 0;
  DL_FsReadFile(bytes, size, 1, handle, &items_read);
  DL_FsCloseFile(handle);
  if (items_read != 1) {
    player.iRet = kLrcErrFile;
  } else {
    player.lrc = GetLRCFromBuf(bytes, (uint16_t)size, &player.iRet);
  }
  suFreeMem(bytes);
}

}  // namespace

void GetLRCFile() {
  WCHAR path[ZQ_PATH_UNITS];
  const WCHAR* name = SplitPath(player.filename, kSeparator);
  // The lyrics path must fit its buffer of 255 units and the terminator.
  uint32_t folder_units = u_strlen(kLyricsFolder);
  if (name == nullptr || folder_units + u_strlen(name) > ZQ_PATH_UNITS - 1) {
    player.iRet = kLrcErrNoFile;
    return;
  }
  u_strcpy(path, kLyricsFolder);
  u_strcat(path, name);
  SetExtension(path, kLrc);
  if (!DL_FsFFileExist(path)) {
    SetExtension(path, kTxt);
    if (!DL_FsFFileExist(path)) {
      player.iRet = kLrcErrNoFile;
      return;
    }
  }
  FILE_HANDLE_T handle = DL_FsOpenFile(path, 0, 0);
  if (handle == FS_INVALID_HANDLE) {
    player.iRet = kLrcErrFile;
    return;
  }
  LoadOpenFile(handle);
}
