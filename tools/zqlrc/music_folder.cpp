// SPDX-License-Identifier: MIT
#include "music_folder.h"

#include <filesystem>

#include "app/player_state.h"
#include "file_io.h"
#include "lyrics/loader.h"
#include "platform/filesystem.h"
#include "platform/memory.h"
#include "playback/tracklist.h"
#include "sim/driver.h"
#include "text_writing.h"

namespace zqlrc {

namespace fs = std::filesystem;

namespace {

const char16_t kAudioUri[] = u"file://b/mobile/audio/";
const char16_t kLyricsUri[] = u"file://b/mobile/audio/lrc/";
constexpr size_t kExtensionUnits = 3;

void SetFilename(const std::u16string& uri) {
  size_t n = 0;
  for (; n < uri.size() && n + 1 < ZQ_PATH_UNITS; ++n) player.filename[n] = uri[n];
  player.filename[n] = 0;
}

}  // namespace

std::string Utf8Name(const std::u16string& name) {
  std::u32string text;
  for (size_t k = 0; k < name.size(); ++k) {
    char32_t c = name[k];
    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < name.size() && name[k + 1] >= 0xDC00 && name[k + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (name[++k] - 0xDC00);
    }
    text.push_back(c);
  }
  std::vector<uint8_t> bytes = Encode(text, Target::kUtf8).bytes;
  return std::string(bytes.begin() + 3, bytes.end());
}

bool PlaceMusic(const PhoneRun& phone, const std::string& music_dir, const std::string& lyrics_dir,
                std::string* error) {
  (void)phone;
  std::error_code ec;
  if (!fs::is_directory(music_dir, ec)) {
    *error = "no such folder: " + music_dir;
    return false;
  }
  if (!lyrics_dir.empty() && !fs::is_directory(lyrics_dir, ec)) {
    *error = "no such folder: " + lyrics_dir;
    return false;
  }
  // The folders are laid under the phone's as they are, not linked file by
  // file: a library of any size is placed at once.
  std::string music = fs::absolute(music_dir).string();
  std::vector<std::string> lyrics;
  if (!lyrics_dir.empty()) {
    lyrics.push_back(fs::absolute(lyrics_dir).string());
  } else {
    fs::path beside = fs::path(music) / "lrc";
    if (fs::is_directory(beside, ec)) lyrics.push_back(beside.string());
    lyrics.push_back(music);
  }
  const char* audio_dirs[] = {music.c_str()};
  const char* lyrics_dirs[] = {lyrics[0].c_str(), lyrics.back().c_str()};
  if (!sim::MountFolder("file://b/mobile/audio/", audio_dirs, 1) ||
      !sim::MountFolder("file://b/mobile/audio/lrc/", lyrics_dirs, lyrics.size())) {
    *error = "cannot lay " + music_dir + " under the phone's folders (a path too long?)";
    return false;
  }
  return true;
}

std::vector<std::u16string> ListTracks() {
  // The player's search lists the folder of its current track; the name of
  // that track does not change the list.
  SetFilename(std::u16string(kAudioUri) + u"-");
  player.count = 0;
  PlayerAppT record = {};
  search(nullptr, &record.app);
  std::vector<std::u16string> names;
  for (uint16_t k = 0; k < player.count && record.file_list != nullptr; ++k) {
    names.emplace_back(record.file_list + k * (TRACK_SLOT_BYTES / sizeof(WCHAR)));
  }
  if (record.file_list != nullptr) suFreeMem(record.file_list);
  return names;
}

void LoadTrackLyrics(const std::u16string& track, TrackLyrics* out) {
  SetFilename(kAudioUri + track);
  player.lrc = nullptr;
  player.iRet = kLrcNotLoaded;
  GetLRCFile();
  out->outcome.status = player.iRet;
  out->outcome.lrc = player.lrc;
  player.lrc = nullptr;
  out->lyrics_file.clear();
  // The file the loader opened: the "lrc" name first, else the "txt" one.
  std::u16string stem = kLyricsUri + track.substr(0, track.size() - kExtensionUnits);
  for (const char16_t* extension : {u"lrc", u"txt"}) {
    std::u16string uri = stem + extension;
    char host[1024];
    if (!DL_FsFFileExist(uri.c_str()) || !sim::HostPath(uri.c_str(), host, sizeof host)) {
      continue;
    }
    std::error_code ec;
    fs::path file = fs::canonical(host, ec);
    out->lyrics_file = ec ? host : file.string();
    std::string ignored;
    ReadWholeFile(out->lyrics_file, &out->outcome.bytes, &ignored);
    out->outcome.encoding = PhoneRun::Detect(out->outcome.bytes);
    return;
  }
  out->outcome.bytes.clear();
  out->outcome.encoding = -1;
}

}  // namespace zqlrc
