// SPDX-License-Identifier: MIT
// Fuzz target of file names through the folder search and the track list: the
// stand-in's search lists names given by the fuzzer (any bytes but "/" and
// NUL, any length, the starting file among them or not) instead of a host
// folder, the program's search builds its list from them, and the track
// changes walk it.
//
// The search delivers only names of the listing, each once (letter case
// aside), and every listed *.mp3 and *.m4a whose URI fits. The list holds
// exactly the audio names it delivered that a slot and a path can hold, in
// its order; cur < count while it is not empty, the starting file current
// when listed; after every move the current file's path is its folder and the
// current entry. Nothing is leaked, and the sanitizers see any read or write
// past a buffer.
//
// An input is "F P moves/start/name/name/...": flag byte F (bit 0: the start
// is listed name number F >> 1 instead of its own field), P the length of a
// folder name under "file://b/" (0: the root), each move byte a Next (even)
// or a Back (odd).
#include <set>
#include <string>
#include <vector>

#include "app/player_state.h"
#include "fuzz/harness.h"
#include "playback/track_step.h"
#include "playback/tracklist.h"
#include "sim/internal.h"

namespace {

using fuzz::Require;

// The names of the input being run. They live in the run itself: a block
// kept from one run to the next looks like a leak to libFuzzer, which then
// scans for leaks after every run.
const std::vector<std::string>* g_names;

bool ListNames(const char*, sim::FolderEntry entry, void* ctx) {
  for (const std::string& name : *g_names) entry(name.c_str(), false, ctx);
  return true;
}

// The name as the phone sees it: UTF-16 of the bytes up to a NUL.
std::u16string Utf16(const std::string& utf8) {
  std::vector<WCHAR> units(utf8.size() + 1);
  size_t n = sim::internal::Utf8ToUtf16(utf8.c_str(), units.data(), units.size());
  return std::u16string(units.data(), n);
}

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z') c = (char16_t)(c - u'a' + u'A');
  return s;
}

bool EndsAudio(const std::u16string& name) {
  if (name.size() < 4) return false;
  std::u16string ext = Upper(name.substr(name.size() - 4));
  return ext == u".MP3" || ext == u".M4A";
}

// A name the list takes: an audio extension behind a dot that does not start
// the name, short enough for a slot and for a path in the folder.
bool Playable(const std::u16string& name, size_t folder_units) {
  return name.size() >= 5 && EndsAudio(name) && name.size() <= TRACK_NAME_UNITS &&
         folder_units + name.size() < ZQ_PATH_UNITS;
}

const WCHAR* Slot(const PlayerAppT& record, uint32_t k) {
  return record.file_list + k * (TRACK_SLOT_BYTES / sizeof(WCHAR));
}

// Searches the folder as the program did and checks what the search
// delivers against the listing. Returns the names, in the search's order.
std::vector<std::u16string> Delivered(const std::u16string& folder) {
  FS_SEARCH_PARAMS_T params = {};
  params.flags = FS_SEARCH_FLAGS;
  uint8_t handle = 0;
  uint16_t total = 0;
  Require(DL_FsSSearch(params, player.cur_dir, &handle, &total, 0) == 0, "a search that worked fails again");
  std::vector<std::u16string> names;
  std::set<std::u16string> folded;
  for (uint16_t i = 0; i < total; ++i) {
    FS_SEARCH_RESULT_T result;
    uint16_t n = 1;
    Require(DL_FsSearchResults(handle, i, &n, &result) == 0 && n == 1, "a counted result is not delivered");
    std::u16string uri(result.name, std::char_traits<char16_t>::length(result.name));
    Require(uri.size() < FS_URI_UNITS && uri.compare(0, folder.size(), folder) == 0, "a result outside the folder");
    names.push_back(uri.substr(folder.size()));
    Require(folded.insert(Upper(names.back())).second, "a name delivered twice");
  }
  DL_FsSearchClose(handle);

  std::set<std::u16string> listed;
  for (const std::string& name : *g_names) listed.insert(Utf16(name));
  for (const std::u16string& name : names) Require(listed.count(name) == 1, "a result that is no listed name");
  for (const std::u16string& name : listed)
    Require(!EndsAudio(name) || folder.size() + name.size() >= FS_URI_UNITS || folded.count(Upper(name)) == 1,
            "a listed audio file is not delivered");
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SetUpPhoneFolder();
  sim::SetFolderListing(ListNames);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Reader input(data, size);
  uint8_t flags = input.Byte();
  std::string folder8 = "file://b/";
  if (uint8_t pad = input.Byte(); pad > 0) folder8 += std::string(pad, 'f') + "/";
  std::string moves = input.Until('/');
  std::string start = input.Until('/');
  std::vector<std::string> names;
  while (!input.Empty()) names.push_back(input.Until('/'));
  if ((flags & 1) && !names.empty()) start = names[(flags >> 1) % names.size()];
  g_names = &names;
  std::u16string folder = Utf16(folder8), path = Utf16(folder8 + start);
  // The program is started with a file of the folder: a name, in a path that fits.
  if (start.empty() || start.find('\0') != std::string::npos || path.size() >= ZQ_PATH_UNITS) return 0;

  fuzz::MemoryBooks books;
  player = PlayerState{};
  path.copy(player.filename, path.size());
  PlayerAppT record{};
  // A folder whose search text does not fit is not searched: no list.
  std::vector<std::u16string> expected;
  if (search(nullptr, &record.app) == 0)
    for (const std::u16string& name : Delivered(folder))
      if (Playable(name, folder.size())) expected.push_back(name);

  Require(player.count == expected.size(), "the list does not hold every playable result");
  Require(player.count == 0 || player.cur < player.count, "cur is not below count");
  std::u16string start16 = path.substr(folder.size());
  size_t start_at = 0;
  for (uint32_t k = 0; k < player.count; ++k) {
    Require(std::u16string(Slot(record, k)) == expected[k], "a slot holds another name than the search's");
    if (expected[k] == start16) start_at = k;
  }
  Require(player.cur == start_at, "the starting file is not current, or an unlisted start moved cur");

  for (char move : moves) {
    if (move % 2 == 0)
      StepToNextTrack(&record.app);
    else
      StepToPreviousTrack(&record.app);
    Require(player.count == 0 || player.cur < player.count, "cur is not below count");
    // The track changes only within a list of two or more, in its folder.
    std::u16string now = player.count > 1 ? folder + std::u16string(Slot(record, player.cur)) : path;
    Require(std::u16string(player.filename) == now, "the current file is not the current entry in its folder");
  }
  if (record.file_list != nullptr) suFreeMem(record.file_list);
  books.RequireBalanced();
  return 0;
}
