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
  None,       // no file
  Utf8,       // a good file, UTF-8 with its mark
  Utf16Le,    // a good file, UTF-16 little-endian with its mark
  Utf16Be,    // a good file, UTF-16 big-endian with its mark
  Gb2312,     // a good file, GB2312 without a mark
  Txt,        // a good file under the name ".txt"
  Full,       // the most the record holds: 100 lines, 200 times, near 64 KiB
  Broken,     // a time tag without its ":"
  Huge,       // more bytes than the player reads
  Encrypted,  // a "[key:" tag
  Empty,      // no bytes
  NoText,     // starts with two zero bytes
  Garbage,    // random bytes
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
  const std::string& root() const { return root_; }
  const std::vector<Track>& tracks() const { return tracks_; }
  // The missing tracks are there while the player lists the folder, and gone
  // while it plays.
  void restore_missing() const;
  void remove_missing() const;

 private:
  void write_track(const Track& t) const;
  std::string root_;
  std::vector<Track> tracks_;
};

const char* lyrics_name(Lyrics kind);

}  // namespace soak
