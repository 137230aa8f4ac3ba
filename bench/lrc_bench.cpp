// SPDX-License-Identifier: MIT
// The whole lyrics job, GetLRCFromBuf from a file's bytes to a sorted record,
// on typical songs in each encoding. Reports bytes per second, seconds per
// lyric line and, with the stand-in's checking allocator, the peak memory of a
// parse against its bound: the working buffer plus the larger of the GB2312
// table (read from its file, freed before the record is made) and the
// record. Repeated runs report their median, min and max (scripts/bench).
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
  static const std::string kRoot = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "zq-lrc-bench").string();
    std::filesystem::create_directories(dir + "/ELF");
    std::ifstream table(ZQ_GB2UC_MAP, std::ios::binary);
    std::ofstream(dir + "/ELF/gb2uc.map", std::ios::binary) << table.rdbuf();
    return dir;
  }();
  sim::Reset();
  if (!sim::SetRoot(kRoot.c_str()) || !sim::InstallGb2ucFile(ZQ_GB2UC_MAP)) abort();
}

#ifndef ZQ_BENCH_LEAN
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

struct Peak {
  uint32_t measured = 0;  // the allocator's peak during one parse
  uint32_t bound = 0;     // buffer + max(table, record) for the same song
};

Peak PeakOfOneParse(const std::vector<uint8_t>& file, Encoding encoding) {
  PreparePhone();
  uint8_t status = 0;
  LRC* lrc = GetLRCFromBuf(file.data(), (uint16_t)file.size(), &status);
  if (lrc == nullptr) abort();
  Peak peak;
  peak.measured = sim::GetMemoryStats().peak_bytes;
  uint32_t buffer = ((uint32_t)file.size() + 2) * (uint32_t)sizeof(WCHAR);
  uint32_t table = 0;
#ifndef PATCH
  if (encoding == Encoding::kGb2312) table = GB2UC_TABLE_BYTES;
#else
  (void)encoding;
#endif
  peak.bound = buffer + std::max(table, RecordBytes(lrc));
  DESTROY_LRC(&lrc);
  return peak;
}
#endif

void BmWholeJob(benchmark::State& state, Encoding encoding) {
  Corpus corpus = MakeCorpus(encoding);
#ifndef ZQ_BENCH_LEAN
  // The song with the largest peak, and by how much any song's peak passes
  // its bound (0 when none does).
  Peak largest;
  int64_t over = 0;
  for (const auto& file : corpus.files) {
    Peak peak = PeakOfOneParse(file, encoding);
    if (peak.measured > largest.measured) largest = peak;
    over = std::max(over, (int64_t)peak.measured - (int64_t)peak.bound);
  }
#endif
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
#ifndef ZQ_BENCH_LEAN
  state.counters["peak_bytes"] = largest.measured;
  state.counters["peak_bound"] = largest.bound;
  state.counters["peak_over_bound"] = (double)over;
#endif
}

double Min(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}
double Max(const std::vector<double>& v) {
  return *std::max_element(v.begin(), v.end());
}

#define ZQ_LYRICS_BENCHMARK(name, encoding) \
  BENCHMARK_CAPTURE(BmWholeJob, name, encoding)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max)

ZQ_LYRICS_BENCHMARK(utf8_mark, Encoding::kUtf8Mark);
ZQ_LYRICS_BENCHMARK(utf16le, Encoding::kUtf16Le);
ZQ_LYRICS_BENCHMARK(utf16be, Encoding::kUtf16Be);
ZQ_LYRICS_BENCHMARK(gb2312, Encoding::kGb2312);

}  // namespace

BENCHMARK_MAIN();
