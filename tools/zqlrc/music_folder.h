// SPDX-License-Identifier: MIT
// A music folder as the player sees it, with the program's own code on the
// stand-in: the folder's files become "file://b/mobile/audio/" and its lyrics
// files "file://b/mobile/audio/lrc/", gathered as zqsim gathers them, and the
// player's own track search and lyrics loader run over them.
#pragma once

#include <string>
#include <vector>

#include "phone_run.h"

namespace zqlrc {

// Lays `music_dir` under the phone's audio folder and `lyrics_dir`, or when
// it is empty music_dir/lrc and then music_dir (a name found in both:
// lrc/'s), under its lyrics folder, as the stand-in's mounts: nothing is
// linked or copied. False with a message when a folder cannot be read.
bool PlaceMusic(const PhoneRun& phone, const std::string& music_dir, const std::string& lyrics_dir, std::string* error);

// The names of the tracks the player lists for the audio folder, in its order.
std::vector<std::u16string> ListTracks();

struct TrackLyrics {
  std::string lyrics_file;  // host path of the lyrics file the phone opens; empty for none
  LoadOutcome outcome;      // what the phone's loader makes of it
};

// Runs the phone's lyrics loader for the track of that name.
void LoadTrackLyrics(const std::u16string& track, TrackLyrics* out);

// A name in UTF-8, for a person and the host.
std::string Utf8Name(const std::u16string& name);

}  // namespace zqlrc
