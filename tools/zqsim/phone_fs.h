// SPDX-License-Identifier: MIT
// The phone's file system for one zqsim run: where "file://b/" lies on the
// host, and the URI of the track to start with.
#pragma once

#include <stddef.h>

#include <string>
#include <utility>
#include <vector>

namespace zqsim {

struct PhoneFs {
  std::string root;       // host folder that "file://b/" maps onto
  std::string start_uri;  // "file://b/..." of the first track, UTF-8
  std::string temp_dir;   // the folder to remove at exit, or empty
  // Card folders ("file://b/mobile/audio/") and the host folders laid under
  // them in order, for a stand-in that mounts them (sim::MountFolder).
  std::vector<std::pair<std::string, std::vector<std::string>>> mounts;
};

// Builds the file system for `path` (an audio file or a folder, whose first
// *.mp3 or *.m4a in name order is taken).
//  - With `root_dir` set, "file://b/" is that folder as it is, and `path`
//    must lie inside it.
//  - Otherwise a temporary folder is made (in $TMPDIR, else /tmp): the audio file's folder becomes
//    "file://b/mobile/audio/" (its files linked, not copied), the lyrics
//    files (*.lrc, *.txt) of that folder and of its lrc/ subfolder become
//    "file://b/mobile/audio/lrc/", and `gb2uc_map` (when it exists) is linked
//    as "file://b/ELF/gb2uc.map".
//    With `mount`, nothing is linked but the table: the audio file's folder,
//    and its lrc/ subfolder then the folder itself, go to `mounts` for the
//    stand-in to lay under "file://b/mobile/audio/" and its "lrc/", so that
//    a folder of any size is ready at once and its lyrics are found when a
//    track is opened.
// False, with a reason in *error, when something is missing; nothing is left
// behind then. *bad_input (when given) tells whether the fault lies in what
// was asked for (no such file, no track in the folder, a track outside the
// root) rather than in making the temporary folder.
bool MakePhoneFs(const std::string& path, const std::string& root_dir, const std::string& gb2uc_map, PhoneFs* out,
                   std::string* error, bool* bad_input = nullptr, bool mount = false);

// Removes the temporary folder (links only; the linked files stay).
void RemovePhoneFs(PhoneFs* fs);

// True for names ending in .mp3 or .m4a (any case).
bool IsAudioName(const std::string& name);
bool IsLyricsName(const std::string& name);

// Units of UTF-16 the UTF-8 text takes.
size_t Utf16Units(const std::string& s);

// True when the player lists the audio file `name` (UTF-8) of a folder whose
// URI has `folder_units` units with its final "/": its name fits a slot of
// the track list and its URI the folder search's buffer.
bool PlayerLists(const std::string& name, size_t folder_units);

}  // namespace zqsim
