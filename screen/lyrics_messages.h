// SPDX-License-Identifier: MIT
// What the lyrics area says when a track's lyrics did not load: one text per
// load status. The screen draws them; the simulator's panel and zqlrc quote
// them from here.
#pragma once

#include "app/player_state.h"
#include "platform/types.h"

namespace screen {

// The message for a load status other than kLrcLoaded; every status without
// a message of its own reads as a file error.
constexpr const WCHAR* LyricsStatusMessage(uint8_t status) {
  switch (status) {
    case kLrcErrNoFile:
      return u"lrc文件不存在";
    case kLrcErrMemory:
      return u"lrc内存分配错误";
    case kLrcErrEncrypted:
      return u"lrc文件被加密";
    default:
      return u"lrc文件错误";
  }
}

}  // namespace screen
