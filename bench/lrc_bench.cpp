// The whole lyrics job, GetLRCFromBuf from a file's bytes to a sorted record,
// on typical songs in each encoding. Reports bytes per second, nanoseconds
// per lyric line and the peak memory of one parse as the firmware's allocator
// saw it (working buffer, the GB2312 table where it is read from its file,
// and the record).
#include <benchmark/benchmark.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lyrics/parser.h"
#include "sim/driver.h"
#include "song_generator.h"

#ifdef ZQ_BENCH_LEAN
namespace lean {
extern uint64_t live_bytes;
extern uint64_t peak_bytes;
}  // namespace lean
#endif

namespace {

using bench_songs::Encoding;

constexpr uint32_t kSongs = 16;

struct Corpus {
  std::vector<std::vector<uint8_t>> files;
  uint64_t bytes = 0;
  uint64_t lines = 0;
};

Corpus MakeCorpus(Encoding encoding) {
  Corpus corpus;
  for (uint32_t seed = 1; seed <= kSongs; ++seed) {
    bench_songs::Song song = bench_songs::MakeSong(seed);
    corpus.files.push_back(bench_songs::Encode(song.text, encoding));
    corpus.bytes += corpus.files.back().size();
    corpus.lines += song.lines;
  }
  return corpus;
}

// The stand-in from its first state, with a phone folder holding the table.
void PreparePhone() {
  static const std::string root = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "zq-lrc-bench").string();
    std::filesystem::create_directories(dir + "/ELF");
    std::ifstream table(ZQ_GB2UC_MAP, std::ios::binary);
    std::ofstream(dir + "/ELF/gb2uc.map", std::ios::binary) << table.rdbuf();
    return dir;
  }();
  sim::reset();
  if (!sim::set_root(root.c_str()) || !sim::install_gb2uc_file(ZQ_GB2UC_MAP)) abort();
}

// The bytes a complete record holds: itself, its four strings, its arrays and
// its line texts.
uint32_t RecordBytes(const LRC* lrc) {
  auto text_bytes = [](const WCHAR* text) {
    uint32_t units = 0;
    while (text[units] != 0) ++units;
    return (units + 1) * (uint32_t)sizeof(WCHAR);
  };
  uint32_t bytes = sizeof(LRC) + text_bytes(lrc->ti) + text_bytes(lrc->ar) + text_bytes(lrc->al) + text_bytes(lrc->by);
  bytes += (lrc->time_count + 1u) * (uint32_t)sizeof(LRC_TIME) + lrc->line_count * (uint32_t)sizeof(LRC_LINE);
  for (uint32_t k = 0; k < lrc->line_count; ++k) bytes += (lrc->lines[k].len + 1u) * (uint32_t)sizeof(WCHAR);
  return bytes;
}

// Peak bytes the allocator held during one parse of the song, and what of it
// the working buffer, the table read from its file and the record do not
// explain (0 when the parse holds nothing else).
uint32_t PeakOfOneParse(const std::vector<uint8_t>& file, [[maybe_unused]] Encoding encoding, int64_t* unexplained) {
  PreparePhone();
#ifdef ZQ_BENCH_LEAN
  lean::peak_bytes = lean::live_bytes;
  uint64_t base = lean::live_bytes;
#endif
  uint8_t status = 0;
  LRC* lrc = GetLRCFromBuf(file.data(), (uint16_t)file.size(), &status);
  if (lrc == nullptr) abort();
#ifdef ZQ_BENCH_LEAN
  uint32_t peak = (uint32_t)(lean::peak_bytes - base);
#else
  uint32_t peak = sim::memory_stats().peak_bytes;
#endif
  uint32_t buffer = ((uint32_t)file.size() + 2) * (uint32_t)sizeof(WCHAR);
  uint32_t table = 0;
#ifndef PATCH
  if (encoding == Encoding::Gb2312) table = GB2UC_TABLE_BYTES;
#endif
  uint32_t explained = std::max(buffer + table, buffer + RecordBytes(lrc));
  *unexplained = std::max(*unexplained, (int64_t)peak - (int64_t)explained);
  DESTROY_LRC(&lrc);
  return peak;
}

void BM_WholeJob(benchmark::State& state, Encoding encoding) {
  Corpus corpus = MakeCorpus(encoding);
  uint32_t peak = 0;
  int64_t unexplained = INT64_MIN;
  for (const auto& file : corpus.files) peak = std::max(peak, PeakOfOneParse(file, encoding, &unexplained));
  uint32_t peak_first = PeakOfOneParse(corpus.files[0], encoding, &unexplained);
  PreparePhone();
  size_t next = 0;
  for (auto _ : state) {
    const std::vector<uint8_t>& file = corpus.files[next];
    next = (next + 1) % corpus.files.size();
    uint8_t status = 0;
    LRC* lrc = GetLRCFromBuf(file.data(), (uint16_t)file.size(), &status);
    benchmark::DoNotOptimize(lrc);
    if (lrc == nullptr) {
      state.SkipWithError("a generated song did not parse");
      break;
    }
    DESTROY_LRC(&lrc);
  }
  // Every song is parsed equally often, so the averages stand for the corpus.
  double per_song_bytes = (double)corpus.bytes / corpus.files.size();
  double per_song_lines = (double)corpus.lines / corpus.files.size();
  state.SetBytesProcessed((int64_t)(per_song_bytes * state.iterations()));
  // Seconds per line: shown with its prefix, "310n" being 310 ns.
  state.counters["time_per_line"] = benchmark::Counter(per_song_lines * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["song_bytes"] = per_song_bytes;
  state.counters["song_lines"] = per_song_lines;
  state.counters["peak_bytes_max"] = peak;
  state.counters["peak_bytes_song1"] = peak_first;
  state.counters["peak_unexplained"] = (double)unexplained;
  state.counters["song1_bytes"] = (double)corpus.files[0].size();
}

BENCHMARK_CAPTURE(BM_WholeJob, utf8_mark, Encoding::Utf8Mark);
BENCHMARK_CAPTURE(BM_WholeJob, utf16le, Encoding::Utf16Le);
BENCHMARK_CAPTURE(BM_WholeJob, utf16be, Encoding::Utf16Be);
BENCHMARK_CAPTURE(BM_WholeJob, gb2312, Encoding::Gb2312);

}  // namespace

BENCHMARK_MAIN();
