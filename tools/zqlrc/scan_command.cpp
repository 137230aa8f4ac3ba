// SPDX-License-Identifier: MIT
#include "scan_command.h"

#include <stdio.h>

#include <filesystem>

#include "app/player_state.h"
#include "fix_plan.h"
#include "lyrics_mends.h"
#include "music_folder.h"
#include "progress.h"
#include "verdict.h"

namespace zqlrc {

namespace {

constexpr int kFolderError = 2;

enum class Kind : uint8_t { kShows, kFixMends, kNoFile, kOther };

// The lyrics file as a person finds it: relative to the music folder when it lies there.
std::string Shown(const std::string& file, const std::string& music_dir) {
  std::error_code ec;
  std::filesystem::path music = std::filesystem::canonical(music_dir, ec);
  std::filesystem::path rel = std::filesystem::path(file).lexically_relative(music);
  if (ec || rel.empty() || rel.native().rfind("..", 0) == 0) return file;
  return rel.string();
}

// The verdict of one track's lyrics, and its kind.
Kind TrackVerdict(const TrackLyrics& t, const PhoneRun& phone, std::string* text) {
  const LoadOutcome& o = t.outcome;
  if (t.lyrics_file.empty()) {
    *text = std::string("no lyrics file: the phone shows \"") + PhoneMessage(o.status) + "\"";
    return Kind::kNoFile;
  }
  std::u16string units = phone.ConvertAsPhone(o.bytes);
  Diagnosis d;
  Diagnose(o.bytes, units, "", &d);
  Verdict v = Judge(o, units, d);
  if (v.as_written) {
    *text =
        "lyrics: " + Count(o.lrc->line_count, "line") + ", " + Count(o.lrc->time_count, "time entry", "time entries");
    return Kind::kShows;
  }
  std::string now = v.shows                  ? std::string("lyrics, not as written")
                    : o.status == kLrcLoaded ? std::string("the tags only (no timed lines)")
                                             : std::string("the phone shows \"") + PhoneMessage(o.status) + "\"";
  if (!v.problems.empty()) now += ": " + v.problems.front().text;
  bool all_mendable = !v.problems.empty();
  for (const Problem& p : v.problems) all_mendable = all_mendable && p.fix_mends;
  FixPlan plan = PlanFix(o.bytes, FixOptions(), phone);
  if (all_mendable && plan.action == FixAction::kWrite) {
    *text = now + "; zqlrc fix mends it: " + plan.what;
    return Kind::kFixMends;
  }
  *text = now + (plan.action == FixAction::kRefuse ? "; zqlrc fix cannot: " + plan.what : std::string());
  return Kind::kOther;
}

}  // namespace

int RunScan(const std::string& music_dir, const std::string& lyrics_dir, PhoneRun& phone) {
  std::string error;
  if (!PlaceMusic(phone, music_dir, lyrics_dir, &error)) {
    fprintf(stderr, "zqlrc: %s\n", error.c_str());
    return kFolderError;
  }
  size_t counts[4] = {};
  std::vector<std::u16string> tracks = ListTracks();
  Progress progress("scan", tracks.size());
  for (const std::u16string& track : tracks) {
    TrackLyrics lyrics;
    LoadTrackLyrics(track, &lyrics);
    std::string text;
    Kind kind = TrackVerdict(lyrics, phone, &text);
    ++counts[(size_t)kind];
    std::string file = lyrics.lyrics_file.empty() ? "" : Shown(lyrics.lyrics_file, music_dir) + ": ";
    printf("%s: %s%s\n", Utf8Name(track).c_str(), file.c_str(), text.c_str());
    DESTROY_LRC(&lyrics.outcome.lrc);
    progress.Step();
  }
  progress.Done();
  printf(
      "%s: %zu with lyrics as written, %zu that zqlrc fix mends, %zu without a lyrics file, %zu with other "
      "problems\n",
      Count(tracks.size(), "track").c_str(), counts[0], counts[1], counts[2], counts[3]);
  return !tracks.empty() && counts[0] == tracks.size() ? 0 : 1;
}

}  // namespace zqlrc
