// SPDX-License-Identifier: MIT
// Work for valgrind's callgrind to count, one kind per run (scripts/bench):
//
//   lrc_probe parse ENCODING   parses the song corpus once, song after song;
//                              callgrind collects GetLRCFromBuf inclusive
//   lrc_probe tick IMAGE KIND  plays a track with lyrics in an image and runs
//                              one tick of the playback timer in
//                              MeasuredTick, KIND "same" (the lyric line
//                              stays) or "new" (the next line becomes current)
//   lrc_probe steps IMAGE ROOT PARSE_AT DESTROY_AT SONG...
//                              the cost steps of bench/cost_steps.h in a host
//                              image, a callgrind dump at every mark
//   lrc_probe songs DIR        writes the song corpus in every encoding
//
// Each prints one line of facts for the script: the corpus's bytes and lines,
// or the tick's canvas calls by kind. Linked with the plain allocator, so that
// the record's allocations cost what a phone's allocator costs.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define ZQ_HAVE_CALLGRIND 1
#endif

#include "app/player_state.h"
#include "bench/cost_steps.h"
#include "lyrics/parser.h"
#include "sim/driver.h"
#include "song_generator.h"

namespace {

using bench_songs::Encoding;

constexpr uint32_t kSongs = 16;

[[noreturn]] void Fail(const char* what) {
  fprintf(stderr, "lrc_probe: %s\n", what);
  exit(1);
}

std::string MakeRoot() {
  std::string root = (std::filesystem::temp_directory_path() / "zq-lrc-probe").string();
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root + "/mobile/audio/lrc");
  return root;
}

int Parse(const char* name) {
  Encoding encoding;
  if (!bench_songs::FromName(name, &encoding)) Fail("unknown encoding");
  std::vector<std::vector<uint8_t>> files;
  uint64_t bytes = 0, lines = 0;
  for (uint32_t seed = 1; seed <= kSongs; ++seed) {
    bench_songs::Song song = bench_songs::MakeSong(seed);
    files.push_back(bench_songs::Encode(song.text, encoding));
    bytes += files.back().size();
    lines += song.lines;
  }
  // The table file is served by the stand-in's file system in every build;
  // builds with PATCH read the same bytes at the firmware address instead.
  sim::Reset();
  if (!sim::SetRoot(MakeRoot().c_str()) || !sim::InstallGb2ucFile(ZQ_GB2UC_MAP)) Fail("no table");
  for (const auto& file : files) {
    // The bytes sit in a block of the firmware's allocator, as the loader
    // leaves them, taken after the previous song's record was destroyed.
    uint8_t* bytes = (uint8_t*)suAllocMem((uint32_t)file.size(), nullptr);
    if (bytes == nullptr) Fail("no memory");
    memcpy(bytes, file.data(), file.size());
    uint8_t status = 0xEE;
    LRC* lrc = GetLRCFromBuf(bytes, (uint16_t)file.size(), &status);
    if (lrc == nullptr) Fail("a generated song did not parse");
    suFreeMem(bytes);
    DESTROY_LRC(&lrc);
  }
  printf("bytes %llu lines %llu songs %u\n", (unsigned long long)bytes, (unsigned long long)lines, kSongs);
  return 0;
}

// The one tick callgrind counts (scripts/bench collects this routine alone).
extern "C" __attribute__((noinline)) void MeasuredTick() {
  sim::Advance(1000);
}

const char* OpName(sim::CanvasOp op) {
  switch (op) {
    case sim::CanvasOp::kCreate:
      return "create";
    case sim::CanvasOp::kDelete:
      return "delete";
    case sim::CanvasOp::kSetFont:
      return "font";
    case sim::CanvasOp::kSetFillColor:
      return "fill-colour";
    case sim::CanvasOp::kSetForegroundColor:
      return "fg-colour";
    case sim::CanvasOp::kSetBackgroundColor:
      return "bg-colour";
    case sim::CanvasOp::kDrawLine:
      return "line";
    case sim::CanvasOp::kDrawRect:
      return "rect";
    case sim::CanvasOp::kDrawRoundRect:
      return "round-rect";
    case sim::CanvasOp::kFillRect:
      return "fill";
    case sim::CanvasOp::kDrawArc:
      return "arc";
    case sim::CanvasOp::kDrawText:
      return "text";
    case sim::CanvasOp::kGetStringSize:
      return "measure";
    case sim::CanvasOp::kDrawImage:
      return "image";
  }
  return "?";
}

// Lines at 10 s, 20 s and 30 s of a 60 s track; the "same" tick goes from
// 14 s to 15 s, the "new" one from 19 s to 20 s.
int Tick(const char* image, const char* kind) {
  bool fresh_line = strcmp(kind, "new") == 0;
  if (!fresh_line && strcmp(kind, "same") != 0) Fail("tick kind is same or new");
  std::string root = MakeRoot();
  std::ofstream(root + "/mobile/audio/a.mp3") << "not really audio";
  std::ofstream(root + "/mobile/audio/lrc/a.lrc")
      << "\xEF\xBB\xBF[ti:静夜思]\n[00:10.00]床前明月光，疑是地上霜。\n[00:20.00]举头望明月，低头思故乡。\n"
         "[00:30.00]Moonlight before my bed\n";
  sim::Reset();
  if (!sim::SetRoot(root.c_str())) Fail("no root");
  sim::SetTrackLength("file://b/mobile/audio/a.mp3", 60000);
  uint8_t id[8];
  char text[17];
  if (!sim::FileId("file://b/mobile/audio/a.mp3", id)) Fail("no track");
  sim::FileIdText(id, text);
  uint32_t lib_result = 0;
  std::string path = std::string(ZQ_IMAGE_DIR) + "/" + image + ".so";
  if (!sim::LoadImage(path.c_str(), text, 0x3000, &lib_result)) Fail("image not loaded");
  auto* state = (PlayerState*)sim::ImageSymbol("player");
  if (state == nullptr || !sim::CanvasExists()) Fail("no player or no screen");
  uint32_t before = fresh_line ? 19 : 14;
  for (uint32_t k = 0; k < 100 && state->timePosition < before; ++k) sim::Advance(1000);
  if (state->timePosition != before || state->iRet != kLrcLoaded) Fail("track not at its place");
  uint16_t pos = state->pos_lrc;
  sim::CanvasLogClear();
  MeasuredTick();
  if (state->timePosition != before + 1 || (state->pos_lrc != pos) != fresh_line) Fail("not the tick wanted");
  std::map<std::string, uint32_t> kinds;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) ++kinds[OpName(sim::CanvasLogAt(i).op)];
  printf("calls %zu", sim::CanvasLogSize());
  for (const auto& [name, count] : kinds) printf(" %s %u", name.c_str(), count);
  printf("\n");
  sim::UnloadImage();
  return 0;
}

// Each mark ends one of callgrind's dumps, so that the dump made at an item's
// second mark holds that item alone.
void Mark(uint32_t tag, void* ctx) {
  auto* open = static_cast<std::map<uint32_t, bool>*>(ctx);
  bool closing = (*open)[tag];
  (*open)[tag] = !closing;
  std::string name = std::string(closing ? "after " : "before ") + std::to_string(tag);
#ifdef ZQ_HAVE_CALLGRIND
  CALLGRIND_DUMP_STATS_AT(name.c_str());
#endif
}

int Steps(char** argv, int songs) {
  sim::Reset();
  if (!sim::SetRoot(argv[3]) || !sim::InstallGb2ucFile(ZQ_GB2UC_MAP)) Fail("no root or no table");
  std::map<uint32_t, bool> open;
  const char* why = "";
  std::string path = std::string(ZQ_IMAGE_DIR) + "/" + argv[2] + ".so";
  if (!cost::RunSteps(path.c_str(), Mark, &open, &why)) Fail(why);
  cost::ImageRoutines at{(uintptr_t)sim::ImageSymbol("Lib"), strtoul(argv[4], nullptr, 10),
                         strtoul(argv[5], nullptr, 10)};
  for (int i = 0; i < songs; ++i) {
    std::ifstream in(argv[6 + i], std::ios::binary);
    std::vector<uint8_t> song((std::istreambuf_iterator<char>(in)), {});
    if (song.empty() || song.size() > 0xFFFF ||
        !cost::ParseInImage(at, song.data(), (uint16_t)song.size(), Mark, &open))
      Fail("a song did not parse in the image");
  }
  sim::UnloadImage();
  return 0;
}

int WriteSongs(const char* dir) {
  for (const char* name : {"utf8_mark", "utf16le", "utf16be", "gb2312"}) {
    Encoding encoding;
    if (!bench_songs::FromName(name, &encoding)) Fail("unknown encoding");
    for (uint32_t seed = 1; seed <= kSongs; ++seed) {
      std::vector<uint8_t> bytes = bench_songs::Encode(bench_songs::MakeSong(seed).text, encoding);
      std::ofstream(std::string(dir) + "/" + name + "_" + std::to_string(seed) + ".lrc", std::ios::binary)
          .write((const char*)bytes.data(), (std::streamsize)bytes.size());
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "parse") == 0) return Parse(argv[2]);
  if (argc == 4 && strcmp(argv[1], "tick") == 0) return Tick(argv[2], argv[3]);
  if (argc >= 6 && strcmp(argv[1], "steps") == 0) return Steps(argv, argc - 6);
  if (argc == 3 && strcmp(argv[1], "songs") == 0) return WriteSongs(argv[2]);
  fprintf(stderr,
          "usage: lrc_probe parse ENCODING | tick IMAGE same|new | steps IMAGE ROOT PARSE_AT DESTROY_AT "
          "SONG... | songs DIR\n");
  return 2;
}
