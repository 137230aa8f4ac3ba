// SPDX-License-Identifier: MIT
#include "soak_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>

#include "sim/utf8.h"

namespace fs = std::filesystem;

namespace soak {
namespace {

const char* const kWords[] = {"rain", "夜曲", "sun", "稻香", "Blue Moon", "wind", "晴天", "last-song"};
const char* const kExtensions[] = {"mp3", "m4a", "MP3", "Mp3", "m4A"};
// Files of the folder that are no tracks, and a folder named like one.
const char* const kOthers[] = {"cover.jpg", "notes.txt", ".mp3", "readme", "x.mp3.bak"};
const char* const kSubfolder = "album.mp3";
const Lyrics kLyricsKinds[] = {Lyrics::kNone,  Lyrics::kUtf8,   Lyrics::kUtf16Le, Lyrics::kUtf16Be, Lyrics::kGb2312,
                               Lyrics::kTxt,   Lyrics::kFull,   Lyrics::kBroken,  Lyrics::kHuge,    Lyrics::kEncrypted,
                               Lyrics::kEmpty, Lyrics::kNoText, Lyrics::kGarbage};

// The Chinese characters the lyrics use, with their GB2312 codes.
struct Hanzi {
  char16_t unit;
  uint8_t gb[2];
};
const Hanzi kHanzi[] = {{u'你', {0xC4, 0xE3}}, {u'好', {0xBA, 0xC3}}, {u'歌', {0xB8, 0xE8}}};

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    char bytes[sim::kUtf8MaxBytes];
    out.append(bytes, sim::EncodeUtf8(c, bytes));
  }
  return out;
}

std::string Encode(const std::u16string& s, Lyrics kind) {
  std::string out;
  switch (kind) {
    case Lyrics::kUtf16Le:
    case Lyrics::kUtf16Be: {
      bool le = kind == Lyrics::kUtf16Le;
      for (char16_t c : u"\uFEFF" + s) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += le ? lo : hi;
        out += le ? hi : lo;
      }
      return out;
    }
    case Lyrics::kGb2312:
      for (char16_t c : s) {
        if (c < 0x80) out += static_cast<char>(c);
        for (const Hanzi& h : kHanzi)
          if (h.unit == c) out.append(reinterpret_cast<const char*>(h.gb), 2);
      }
      return out;
    default:
      return "\xEF\xBB\xBF" + Utf8(s);
  }
}

std::u16string TimeTag(uint32_t ms) {
  char tag[32];
  snprintf(tag, sizeof tag, "[%02u:%02u.%02u]", ms / 60000, ms / 1000 % 60, ms / 10 % 100);
  return std::u16string(tag, tag + strlen(tag));
}

// Lines timed within the track, `tags` time tags a line, text of about
// `width` units.
std::u16string LrcText(Random& r, uint32_t ms, uint32_t lines, uint32_t tags, uint32_t width) {
  std::u16string s = u"[ti:Soak ";
  s += kHanzi[r.Below(3)].unit;
  s += u"]\n[ar:The Soak]\n[al:Seeds]\n";
  if (r.OneIn(3)) s += r.OneIn(2) ? u"[offset:-1500]\n" : u"[offset:700]\n";
  for (uint32_t k = 0; k < lines; ++k) {
    for (uint32_t t = 0; t < tags; ++t) s += TimeTag(r.Below(ms + 1));
    for (uint32_t u = 0; u < width; ++u) s += r.OneIn(4) ? kHanzi[r.Below(3)].unit : char16_t(u'a' + r.Below(26));
    s += u"\r\n";
  }
  return s;
}

std::string LyricsBytes(Random& r, Lyrics kind, uint32_t ms) {
  switch (kind) {
    case Lyrics::kFull:
      return Encode(LrcText(r, ms, 100, 2, 400), Lyrics::kUtf8);
    case Lyrics::kBroken:
      return Encode(LrcText(r, ms, 3, 1, 20) + u"[12.00]no colon\n", Lyrics::kUtf8);
    case Lyrics::kHuge:
      return Encode(LrcText(r, ms, 100, 1, 700), Lyrics::kUtf8);
    case Lyrics::kEncrypted:
      return Encode(u"[ti:locked]\n[key:0412ab]\n" + LrcText(r, ms, 2, 1, 10), Lyrics::kUtf8);
    case Lyrics::kEmpty:
      return "";
    case Lyrics::kNoText:
      return std::string("\0\0", 2) + Encode(LrcText(r, ms, 2, 1, 10), Lyrics::kUtf8);
    case Lyrics::kGarbage: {
      std::string bytes(1 + r.Below(3000), '\0');
      for (char& b : bytes) b = static_cast<char>(r.OneIn(8) ? '[' : r.Below(256));
      return bytes;
    }
    default:
      return Encode(LrcText(r, ms, 1 + r.Below(40), 1 + r.Below(3), 1 + r.Below(60)), kind);
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

const char* LyricsName(Lyrics kind) {
  static const char* const kNames[] = {"none",   "utf8", "utf16le",   "utf16be", "gb2312",  "txt",    "full",
                                       "broken", "huge", "encrypted", "empty",   "no text", "garbage"};
  return kNames[static_cast<int>(kind)];
}

Folder::Folder(Random& r, size_t tracks) {
  char pattern[] = "/tmp/zq_soak_XXXXXX";
  if (!mkdtemp(pattern)) abort();
  root_ = pattern;
  fs::create_directories(root_ + "/mobile/audio/lrc");
  fs::create_directories(root_ + "/mobile/audio/" + kSubfolder);
  for (const char* other : kOthers) WriteFile(root_ + "/mobile/audio/" + other, "not a track");
  for (size_t i = 0; i < tracks; ++i) {
    Track t;
    char prefix[24];
    snprintf(prefix, sizeof prefix, "%02zu ", i);
    // One name as long as a slot of the track list holds (127 units), one a
    // unit longer.
    std::string word = i == 7 ? std::string(120, 'n') : i == 8 ? std::string(121, 'o') : kWords[r.Below(8)];
    t.name = prefix + word + "." + kExtensions[r.Below(5)];
    // Short tracks end while keys are still being pressed.
    t.ms = r.OneIn(6) ? r.Below(4000) : 5000 + r.Below(400000);
    t.missing = i % 10 == 3;
    t.broken = i % 10 == 6;
    t.lyrics = kLyricsKinds[i < 13 ? i : r.Below(13)];
    tracks_.push_back(t);
    WriteTrack(t);
    std::string stem = root_ + "/mobile/audio/lrc/" + t.name.substr(0, t.name.size() - 3);
    if (t.lyrics != Lyrics::kNone)
      WriteFile(stem + (t.lyrics == Lyrics::kTxt ? "txt" : "lrc"), LyricsBytes(r, t.lyrics, t.ms));
  }
}

Folder::~Folder() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Folder::WriteTrack(const Track& t) const {
  WriteFile(root_ + "/mobile/audio/" + t.name, t.broken ? "" : "ID3 not really audio");
}

void Folder::RestoreMissing() const {
  for (const Track& t : tracks_)
    if (t.missing) WriteTrack(t);
}

void Folder::RemoveMissing() const {
  for (const Track& t : tracks_)
    if (t.missing) fs::remove(root_ + "/mobile/audio/" + t.name);
}

}  // namespace soak
