// SPDX-License-Identifier: MIT
// The cost steps (bench/cost_steps.h) with a phone image in the big-endian
// box, for scripts/bench; qemu-armeb runs it with bench/arm_count_plugin.cpp,
// which counts the instructions between the marks set here:
//
//   box_cost_probe.elf IMAGE ROOT GB2UC PARSE_AT DESTROY_AT CHANGES SONG...
//
// PARSE_AT and DESTROY_AT are the offsets of GetLRCFromBuf and DESTROY_LRC
// from Lib in the image (decimal). Prints "heap PEAK_BYTES PEAK_BLOCKS", the
// peak of the blocks the program held over the steps, the songs and CHANGES
// more track changes, and exits 0; on a failed step it names it and exits 1.
#include "bench/cost_steps.h"
#include "drive/text.h"
#include "sim/box/linux_calls.h"
#include "sim/driver.h"

extern "C" char __executable_start[], etext[];

namespace {

// bench/arm_count_plugin.cpp reads these system calls.
constexpr long kMarkCall = 0x7A51;
constexpr long kProgramRange = 1, kWriteCounts = 2;

void MarkCall(long kind, long a, long b) {
  register long r0 asm("r0") = kind;
  register long r1 asm("r1") = a;
  register long r2 asm("r2") = b;
  register long r7 asm("r7") = kMarkCall;
  asm volatile("svc 0" : "+r"(r0) : "r"(r1), "r"(r2), "r"(r7) : "memory");
}

void Mark(uint32_t tag, void*) {
  MarkCall(kWriteCounts, (long)tag, 0);
}

void Print(int fd, const char* a, const char* b = "") {
  drive::Text line(a);
  line.Append(b).Append("\n");
  box::sys::Write(fd, line.CStr(), line.Size());
}

uint32_t Number(const char* text) {
  uint32_t v = 0;
  for (; *text >= '0' && *text <= '9'; ++text) v = v * 10 + (uint32_t)(*text - '0');
  return v;
}

uint8_t g_song[65536];

// A song file whole; 0 when it cannot be read or is longer than a lyrics
// file can be.
uint16_t ReadSong(const char* path) {
  long fd = box::sys::Open(path, box::sys::kReadOnly);
  if (fd < 0) return 0;
  long n = box::sys::Read((int)fd, g_song, sizeof g_song);
  box::sys::Close((int)fd);
  return n > 0 && n < 65536 ? (uint16_t)n : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Blocks outside the program's own code are the image's.
  MarkCall(kProgramRange, (long)__executable_start, (long)(etext - __executable_start));
  if (argc < 7) {
    Print(2, "usage: box_cost_probe.elf IMAGE ROOT GB2UC PARSE_AT DESTROY_AT CHANGES SONG...");
    return 2;
  }
  sim::Reset();
  if (!sim::SetRoot(argv[2]) || !sim::InstallGb2ucFile(argv[3])) {
    Print(2, "box_cost_probe: no root folder or GB2312 table");
    return 1;
  }
  const char* why = "";
  if (!cost::RunSteps(argv[1], Mark, nullptr, &why)) {
    Print(2, "box_cost_probe: ", why);
    return 1;
  }
  cost::ImageRoutines at{(uintptr_t)sim::ImageSymbol("Lib"), Number(argv[4]), Number(argv[5])};
  for (int i = 7; i < argc; ++i) {
    uint16_t bytes = ReadSong(argv[i]);
    if (bytes == 0 || !cost::ParseInImage(at, g_song, bytes, Mark, nullptr)) {
      Print(2, "box_cost_probe: the image did not parse ", argv[i]);
      return 1;
    }
  }
  if (!cost::ChangeTracks(Number(argv[6]), &why)) {
    Print(2, "box_cost_probe: ", why);
    return 1;
  }
  sim::MemoryStats m = sim::GetMemoryStats();
  drive::Text line("heap ");
  line.AppendNumber(m.peak_bytes).Append(" ").AppendNumber(m.peak_blocks);
  Print(1, line.CStr());
  return 0;
}
