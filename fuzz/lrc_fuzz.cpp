// SPDX-License-Identifier: MIT
// Fuzz target over the whole lyrics job: bytes of any kind, any encoding, to a
// sorted record. Built twice, with the GB2312 table read from its file and
// with PATCH (from firmware memory). Besides the sanitizers' checks it holds
// every record to its promises and the parse to giving back every block it
// took.
#include <stdio.h>

#include "app/player_state.h"
#include "fuzz/harness.h"
#include "lyrics/parser.h"

namespace {

using fuzz::Require;

void CheckRecord(const LRC* lrc) {
  for (const WCHAR* tag : {lrc->ti, lrc->ar, lrc->al, lrc->by}) Require(tag != nullptr, "an ID tag is null");
  Require(lrc->times != nullptr, "no time table");
  Require(lrc->line_count == 0 || lrc->lines != nullptr, "no line table");
  for (uint32_t k = 0; k < lrc->time_count; ++k) {
    Require(lrc->times[k].line < lrc->line_count, "a time entry names no line");
    Require(k == 0 || lrc->times[k - 1].time <= lrc->times[k].time, "time entries out of order");
  }
  for (uint32_t k = 0; k < lrc->line_count; ++k) {
    Require(lrc->lines[k].text != nullptr, "a line without text");
    Require(lrc->lines[k].text[lrc->lines[k].len] == 0, "a line text not ended at its length");
  }
}

// The parser takes a 16-bit length; longer input is cut to the largest.
uint16_t Length(size_t size) {
  return size > 0xFFFF ? 0xFFFF : (uint16_t)size;
}

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

}  // namespace

// "status digest" of the parser's result: the replay pins the results, not
// only the record's promises.
std::string fuzz::Result(const uint8_t* data, size_t size) {
  uint8_t status = 0xEE;
  LRC* lrc = GetLRCFromBuf(size == 0 ? nullptr : data, Length(size), &status);
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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SetUpPhoneFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemoryBooks books;
  uint8_t status = 0xEE;
  LRC* lrc = GetLRCFromBuf(data, Length(size), &status);
  if (lrc != nullptr) {
    Require(status == kLrcLoaded, "a record with a failure status");
    CheckRecord(lrc);
    DESTROY_LRC(&lrc);
  } else {
    Require(status == kLrcErrMemory || status == kLrcErrFile || status == kLrcErrNoText || status == kLrcErrEncrypted,
            "no record and no failure status");
  }
  books.RequireBalanced();
  return 0;
}
