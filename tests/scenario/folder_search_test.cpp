// SPDX-License-Identifier: MIT
// The folder search the player makes once at start: the text names the
// starting track's folder and the two audio patterns, and the parameter
// record asks for files with no attribute filter.
#include <filesystem>
#include <fstream>
#include <string>

#include "scenario.h"

namespace scenario {
namespace {

using FolderSearch = Scenario;

struct SearchCase {
  const char* file;        // under "file://b/"
  const char16_t* folder;  // the search text's folder part
};

TEST_F(FolderSearch, TheSearchNamesTheTracksFolderAndBothPatterns) {
  const SearchCase cases[] = {
      {"mobile/audio/a.mp3", u"file://b/mobile/audio/"},
      {"mobile/audio/sub dir/x.M4A", u"file://b/mobile/audio/sub dir/"},
      {"mobile/v1.5/b.c.mp3", u"file://b/mobile/v1.5/"},
      {"top.mp3", u"file://b/"},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.file);
    RestartMachine();
    std::filesystem::path file = Host(c.file);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "ID3 not really audio";
    uint8_t id[8];
    ASSERT_TRUE(sim::FileId((std::string("file://b/") + c.file).c_str(), id));
    char text[17];
    sim::FileIdText(id, text);
    ASSERT_TRUE(StartWithText(text));
    ASSERT_EQ(Ps().count, 1);  // the search found the track

    WCHAR searched[512];
    uint8_t params[8];
    for (auto& b : params) b = 0xEE;
    ASSERT_TRUE(sim::LastSearch(searched, 512, params));
    std::u16string expected = std::u16string(u"file:/") + c.folder + u"\uFFFE*.mp3\uFFFE*.m4a";
    EXPECT_EQ(std::u16string(searched), expected);
    EXPECT_EQ(params[0], 0x1C);  // flags
    EXPECT_EQ(params[2], 0);     // attribute
    EXPECT_EQ(params[3], 0);
    EXPECT_EQ(params[4], 0);  // attribute mask
    EXPECT_EQ(params[5], 0);
    EndProgram();
  }
}

}  // namespace
}  // namespace scenario
