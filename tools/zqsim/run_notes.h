// zqsim's notes on stderr: one line each, also without -v, for what a person
// would otherwise be left to guess: a track skipped because its file is
// missing, a track that broke off, why the player ended, and the tracks of
// the folder that the phone's limits leave out of the list.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "sim/driver.h"

namespace zqsim {

class RunNotes {
 public:
  // Each note goes to `write` as one line, without its newline.
  explicit RunNotes(std::function<void(const std::string&)> write) : write_(std::move(write)) {}

  // Follows the stand-in's facts. A skipped or broken track is noted once
  // per run, however often the list comes back to it.
  void fact(sim::Fact fact, uint32_t value, const char* text);

 private:
  void note_once(const std::string& key, const std::string& line);

  std::function<void(const std::string&)> write_;
  std::set<std::string> noted_;
  // A track file was found missing and no track has been opened since: an
  // end of the player now comes from there being nothing left to play.
  bool missing_since_track_ = false;
};

// Notes on a folder's audio files (names in UTF-8, in a folder whose URI has
// `folder_units` units with its final "/"): how many of them the phone's
// limits leave out of the track list. Empty when all are listed.
std::vector<std::string> folder_limit_notes(const std::vector<std::string>& names, size_t folder_units);

}  // namespace zqsim
