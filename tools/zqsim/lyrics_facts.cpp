// SPDX-License-Identifier: MIT
#include "tools/zqsim/lyrics_facts.h"

#include "app/player_state.h"
#include "drive/trace_format.h"
#include "lyrics/encoding.h"
#include "lyrics/record.h"
#include "screen/lyrics_messages.h"
#include "sim/driver.h"

namespace zqsim {
namespace {

LyricsFacts::File* FileNamed(LyricsFacts* f, const char* uri) {
  for (LyricsFacts::File& file : f->files)
    if (file.uri == uri) return &file;
  f->files.push_back({});
  f->files.back().uri = uri;
  return &f->files.back();
}

}  // namespace

LyricsFacts CurrentLyrics() {
  LyricsFacts f;
  // A track's lyrics are looked for right after the engine has made its
  // playback object: everything the log holds after that is its load.
  const size_t n = sim::FileLogSize();
  size_t start = n;
  for (size_t i = n; i-- > 0;)
    if (sim::FileLogAt(i).use == sim::FileUse::Play) {
      start = i;
      break;
    }
  f.track = start < n;
  std::vector<std::pair<uint16_t, size_t>> open_files;  // handle, index into files
  for (size_t i = start + 1; f.track && i < n; ++i) {
    const sim::FileUseRecord& r = sim::FileLogAt(i);
    if (r.use == sim::FileUse::kExists) {
      FileNamed(&f, r.uri)->found = r.ok;
    } else if (r.use == sim::FileUse::kOpen) {
      LyricsFacts::File* file = FileNamed(&f, r.uri);
      // The program opens only what it found; a file opened without a look
      // first was there all the same.
      file->found |= r.ok;
      file->opened = r.ok;
      file->open_failed = !r.ok;
      file->size = r.bytes;
      const int index = static_cast<int>(file - f.files.data());
      if (r.ok) open_files.push_back({r.handle, static_cast<size_t>(index)});
      if (f.lyrics_file < 0) f.lyrics_file = index;
    } else if (r.use == sim::FileUse::kRead) {
      for (const auto& [handle, index] : open_files) {
        if (handle != r.handle) continue;
        LyricsFacts::File& file = f.files[index];
        file.read += r.bytes;
        file.read_whole = file.read == file.size;
        if (r.head_len > 0) {
          for (uint8_t k = 0; k < r.head_len; ++k) file.head[k] = r.head[k];
          file.head_len = r.head_len;
        }
      }
    }
  }
  if (f.lyrics_file >= 0) {
    const LyricsFacts::File& file = f.files[f.lyrics_file];
    if (file.read > 0) f.encoding = GetCodeType(file.head, file.head_len);
  }

  const auto* player = static_cast<const PlayerState*>(sim::ImageSymbol("player"));
  if (player != nullptr && sim::ImageLoaded()) {
    f.status_known = true;
    f.status = player->iRet;
    if (player->lrc != nullptr) {
      f.loaded = true;
      f.lines = player->lrc->line_count;
      f.times = player->lrc->time_count;
    }
  }
  return f;
}

const char* EncodingName(int code) {
  switch (code) {
    case kCodeNoText:
      return "none (starts with 00 00)";
    case kCodeGB2312:
      return "GB2312 (no byte-order mark)";
    case kCodeUtf16Le:
      return "UTF-16 little-endian";
    case kCodeUtf16Be:
      return "UTF-16 big-endian";
    case kCodeUtf8:
      return "UTF-8 (byte-order mark)";
    default:
      return "nothing read";
  }
}

const char* StatusName(uint8_t status) {
  switch (status) {
    case kLrcLoaded:
      return "loaded";
    case kLrcErrMemory:
      return "out of memory";
    case kLrcErrFile:
      return "file error";
    case kLrcErrNoText:
      return "no text";
    case kLrcErrNoFile:
      return "no lyrics file";
    case kLrcErrEncrypted:
      return "encrypted";
    case kLrcNotLoaded:
      return "not loaded yet";
    default:
      return "unknown";
  }
}

std::string StatusMessage(uint8_t status) {
  const WCHAR* message = screen::LyricsStatusMessage(status);
  drive::Text text;
  drive::AppendUtf8(&text, message, std::char_traits<char16_t>::length(message));
  return text.CStr();
}

}  // namespace zqsim
