// SPDX-License-Identifier: MIT
// The soak's music folder: 50 tracks made from the seed, with every kind of
// lyrics file the player may meet, on the virtual card under a temporary
// host folder.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "soak_random.h"

namespace soak {

// What a track's lyrics file holds.
enum class Lyrics : uint8_t {
  kNone,       // no file
  kUtf8,       // a good file, UTF-8 with its mark
  kUtf16Le,    // a good file, UTF-16 little-endian with its mark
  kUtf16Be,    // a good file, UTF-16 big-endian with its mark
  kGb2312,     // a good file, GB2312 without a mark
  kTxt,        // a good file under the name ".txt"
  kFull,       // the most the record holds: 100 lines, 200 times, near 64 KiB
  kBroken,     // a time tag without its ":"
  kHuge,       // more bytes than the player reads
  kEncrypted,  // a "[key:" tag
  kEmpty,      // no bytes
  kNoText,     // starts with two zero bytes
  kGarbage,    // random bytes
};

struct Track {
  std::string name;  // under "file://b/mobile/audio/"
  uint32_t ms;       // length, given to the engine's table
  bool missing;      // removed from the card once the player has listed it
  bool broken;       // an empty file: the engine cannot decode it
  Lyrics lyrics;
};

class Folder {
 public:
  // Makes the folder under a new temporary host folder.
  Folder(Random& random, size_t tracks);
  ~Folder();
  const std::string& Root() const { return root_; }
  const std::vector<Track>& Tracks() const { return tracks_; }
  // The missing tracks are there while the player lists the folder, and gone
  // while it plays.
  void RestoreMissing() const;
  void RemoveMissing() const;

 private:
  void WriteTrack(const Track& t) const;
  std::string root_;
  std::vector<Track> tracks_;
};

const char* LyricsName(Lyrics kind);

}  // namespace soak
