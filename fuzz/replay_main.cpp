// Replays a corpus through the fuzz target's entry point, for compilers
// without libFuzzer: every file of every folder given, in name order.
//
// With --results FILE it also pins what the parser makes of each input: one
// line per input, its name, the status and a digest of the whole record, is
// compared with FILE (ZQ_UPDATE_GOLDENS=1 rewrites FILE). The corpus so
// guards the results themselves, not only the record's promises.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "lyrics/parser.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// FNV-1a over 32-bit values.
struct Digest {
  uint64_t hash = 14695981039346656037ull;
  void Add(uint32_t value) {
    for (int k = 0; k < 4; ++k) hash = (hash ^ ((value >> (8 * k)) & 0xFF)) * 1099511628211ull;
  }
  void Add(const WCHAR* text) {
    for (; *text != 0; ++text) Add(*text);
    Add(0x10000);  // ends the text: no unit has this value
  }
};

// "status digest" of the parser's result for the bytes.
std::string Result(const std::vector<uint8_t>& bytes) {
  uint16_t len = bytes.size() > 0xFFFF ? 0xFFFF : (uint16_t)bytes.size();
  uint8_t status = 0xEE;
  LRC* lrc = GetLRCFromBuf(bytes.empty() ? nullptr : bytes.data(), len, &status);
  Digest digest;
  if (lrc != nullptr) {
    for (const WCHAR* tag : {lrc->ti, lrc->ar, lrc->al, lrc->by}) digest.Add(tag);
    digest.Add((uint16_t)lrc->offset);
    digest.Add(lrc->time_count);
    digest.Add(lrc->line_count);
    for (uint32_t k = 0; k < lrc->time_count; ++k) {
      digest.Add(lrc->times[k].time);
      digest.Add(lrc->times[k].line);
    }
    for (uint32_t k = 0; k < lrc->line_count; ++k) {
      digest.Add(lrc->lines[k].len);
      digest.Add(lrc->lines[k].text);
    }
    DESTROY_LRC(&lrc);
  }
  char text[32];
  snprintf(text, sizeof text, "%u %016llx", status, (unsigned long long)digest.hash);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  std::string results_path;
  std::vector<std::filesystem::path> files;
  for (int k = 1; k < argc; ++k) {
    if (strcmp(argv[k], "--results") == 0 && k + 1 < argc) {
      results_path = argv[++k];
    } else if (std::filesystem::is_directory(argv[k])) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[k])) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.emplace_back(argv[k]);
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    fprintf(stderr, "replay: no inputs\n");
    return 1;
  }
  std::ostringstream results;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      fprintf(stderr, "replay: cannot read %s\n", file.c_str());
      return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    results << file.filename().string() << ' ' << Result(bytes) << '\n';
  }
  if (!results_path.empty()) {
    const char* update = getenv("ZQ_UPDATE_GOLDENS");
    if (update != nullptr && strcmp(update, "1") == 0) {
      std::ofstream(results_path) << results.str();
    } else {
      std::ifstream in(results_path);
      std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (expected != results.str()) {
        // The inputs whose result changed, for the one who changed it.
        std::istringstream want(expected), got(results.str());
        std::string a, b;
        while (std::getline(got, b)) {
          if (!std::getline(want, a)) a.clear();
          if (a != b) fprintf(stderr, "replay: expected \"%s\", got \"%s\"\n", a.c_str(), b.c_str());
        }
        fprintf(stderr, "replay: results differ from %s (ZQ_UPDATE_GOLDENS=1 rewrites it)\n", results_path.c_str());
        return 1;
      }
    }
  }
  printf("replay: %zu inputs, all clean%s\n", files.size(), results_path.empty() ? "" : ", results as pinned");
  return 0;
}
