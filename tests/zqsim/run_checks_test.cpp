// SPDX-License-Identifier: MIT
// The notes zqsim and zqbox write before a run: which tracks of the folder
// the phone's limits leave out of the list.
#include "tools/zqsim/run_checks.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderNotes, TellWhichTracksThePhonesLimitsLeaveOut) {
  const size_t folder = 22;  // "file://b/mobile/audio/"
  std::vector<std::string> many(65537, "t.mp3");
  many.push_back("lyrics.lrc");
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> notes;
  } cases[] = {
      {{"a.mp3", std::string(123, 'n') + ".m4a", "notes.txt"}, {}},
      {{"a.mp3", std::string(124, 'l') + ".mp3", std::string(300, 'x') + ".MP3"},
       {"zqsim: 2 track(s) of the folder are not listed: the player takes names of at most 127 units in paths of at "
        "most 255"}},
      {many, {"zqsim: the folder has 65537 tracks; the phone lists the first 65535 in name order"}},
  };
  for (const Case& c : cases) EXPECT_EQ(zqsim::FolderLimitNotes(c.names, folder), c.notes);
}

}  // namespace
