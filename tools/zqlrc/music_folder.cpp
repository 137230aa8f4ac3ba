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

bool EndsWithNoCase(const std::string& name, const char* tail) {
  std::string t(tail);
  if (name.size() <= t.size()) return false;
  for (size_t k = 0; k < t.size(); ++k) {
    char c = name[name.size() - t.size() + k];
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    if (c != t[k]) return false;
  }
  return true;
}

bool IsLyricsName(const std::string& name) {
  return EndsWithNoCase(name, ".lrc") || EndsWithNoCase(name, ".txt");
}

// Links the regular files of `from` (only lyrics files, when asked) into
// `to`; a name already there keeps its first link.
bool LinkFiles(const fs::path& from, const fs::path& to, bool lyrics_only, std::string* error) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(from, ec)) {
    std::string name = entry.path().filename().string();
    std::error_code ec2;
    if (!entry.is_regular_file(ec2) || (lyrics_only && !IsLyricsName(name))) continue;
    if (fs::exists(fs::symlink_status(to / name, ec2))) continue;
    fs::create_symlink(fs::absolute(entry.path()), to / name, ec2);
    if (ec2) {
      *error = "cannot link " + entry.path().string() + ": " + ec2.message();
      return false;
    }
  }
  if (ec) *error = "cannot read the folder " + from.string() + ": " + ec.message();
  return !ec;
}

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
  fs::path audio = fs::path(phone.Root()) / "mobile" / "audio";
  std::error_code ec;
  if (!fs::is_directory(music_dir, ec)) {
    *error = "no such folder: " + music_dir;
    return false;
  }
  if (!lyrics_dir.empty() && !fs::is_directory(lyrics_dir, ec)) {
    *error = "no such folder: " + lyrics_dir;
    return false;
  }
  if (!LinkFiles(music_dir, audio, false, error)) return false;
  if (!lyrics_dir.empty()) return LinkFiles(lyrics_dir, audio / "lrc", true, error);
  fs::path beside = fs::path(music_dir) / "lrc";
  if (fs::is_directory(beside, ec) && !LinkFiles(beside, audio / "lrc", true, error)) return false;
  return LinkFiles(music_dir, audio / "lrc", true, error);
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
