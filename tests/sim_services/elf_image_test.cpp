// SPDX-License-Identifier: MIT
// The loader's checks of phone images: a real phone image loads, and each
// variant made from it by one fault is refused with a line naming the fault.
#include "sim/elf_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim/service_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Get32(const Bytes& b, size_t at) {
  return (uint32_t)b[at] << 24 | (uint32_t)b[at + 1] << 16 | (uint32_t)b[at + 2] << 8 | b[at + 3];
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (uint8_t)(v >> (24 - 8 * i));
}

// Where the first program header of `type` lies in the file.
size_t ProgramHeader(const Bytes& b, uint32_t type) {
  size_t phoff = Get32(b, 28), count = (size_t)(b[44] << 8 | b[45]);
  for (size_t i = 0; i < count; ++i)
    if (Get32(b, phoff + 32 * i) == type) return phoff + 32 * i;
  return 0;
}

// The file offset of the first entry of the relocation table (DT_REL).
size_t FirstRelocation(const Bytes& b) {
  size_t load = Get32(b, ProgramHeader(b, 1) + 4);
  size_t dyn = Get32(b, ProgramHeader(b, 2) + 4);
  for (size_t at = dyn; Get32(b, at) != 0; at += 8)
    if (Get32(b, at) == 17) return load + Get32(b, at + 4);
  return 0;
}

// The bytes the loadable segment takes in memory.
uint32_t MemoryBytes(const Bytes& b) {
  return Get32(b, ProgramHeader(b, 1) + 20);
}

// The stand-in's services, at made-up 32-bit addresses.
bool Resolve(const char* name, uint32_t* address, void*) {
  if (sim::ServiceAddress(name) == nullptr) return false;
  *address = 0xF0000000u + (uint32_t)std::hash<std::string>{}(name) % 0x1000 * 4;
  return true;
}

struct Loaded {
  bool ok;
  std::string why;
  sim::elf::Layout layout{};
  Bytes memory;
};

Loaded Load(const Bytes& file) {
  Loaded r{};
  char why[160] = "untouched";
  r.ok = sim::elf::Check(file.data(), file.size(), &r.layout, why, sizeof why);
  if (r.ok) {
    r.memory.resize(r.layout.memory_bytes);
    r.ok = sim::elf::Relocate(file.data(), r.layout, r.memory.data(), 0x40000000u, Resolve, nullptr, why, sizeof why);
  }
  r.why = r.ok ? "" : why;
  return r;
}

class PhoneImage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(ZQ_TEST_PHONE_IMAGE).empty()) GTEST_SKIP() << "no phone image (arm-none-eabi-gcc missing)";
    std::ifstream in(ZQ_TEST_PHONE_IMAGE, std::ios::binary);
    image_.assign(std::istreambuf_iterator<char>(in), {});
    ASSERT_GT(image_.size(), 52u);
  }
  Bytes image_;
};

TEST_F(PhoneImage, LoadsWithItsImportsResolvedAndItsEntryAtTheFirstByte) {
  Loaded r = Load(image_);
  ASSERT_TRUE(r.ok) << r.why;
  uint32_t lib = 1;
  ASSERT_TRUE(sim::elf::FindSymbol(r.memory.data(), r.layout, "Lib", &lib));
  EXPECT_EQ(lib, 0u);
  // The slot of the first import holds what the resolver gave for its name.
  uint32_t got = 0;
  ASSERT_TRUE(Resolve("suAllocMem", &got, nullptr));
  bool found = false;
  for (uint32_t at = 0; at + 4 <= r.memory.size() && !found; at += 4) found = Get32(r.memory, at) == got;
  EXPECT_TRUE(found);
}

TEST_F(PhoneImage, MalformedVariantsAreRefusedWithOneLineNamingTheFault) {
  struct Case {
    const char* fault;
    std::function<void(Bytes&)> make;
    const char* named;
  } cases[] = {
      {"wrong class", [](Bytes& b) { b[4] = 2; }, "not a 32-bit ELF file"},
      {"wrong byte order", [](Bytes& b) { b[5] = 1; }, "not big-endian"},
      {"no segment", [](Bytes& b) { Put32(b, ProgramHeader(b, 1), 0); }, "no loadable segment"},
      {"segment past the end of the file", [](Bytes& b) { Put32(b, ProgramHeader(b, 1) + 16, (uint32_t)b.size()); },
       "past the end of the file"},
      {"unknown relocation", [](Bytes& b) { b[FirstRelocation(b) + 7] = 20; }, "relocation of type 20"},
      // The bound of a relocated word: the image's last word loads, a word
      // that sticks out of it by one byte does not.
      {"relocation in the last word", [](Bytes& b) { Put32(b, FirstRelocation(b), MemoryBytes(b) - 4); }, nullptr},
      {"relocation one byte past the last word", [](Bytes& b) { Put32(b, FirstRelocation(b), MemoryBytes(b) - 3); },
       "lies outside the image"},
      {"unknown import",
       [](Bytes& b) {
         static const char kName[] = "suAllocMem";
         auto at = std::search(b.begin(), b.end(), kName, kName + sizeof kName);
         ASSERT_NE(at, b.end());
         at[sizeof kName - 2] = 'X';
       },
       "imports suAllocMeX,"},
      {"import whose name holds a line feed",
       [](Bytes& b) {
         static const char kName[] = "suAllocMem";
         auto at = std::search(b.begin(), b.end(), kName, kName + sizeof kName);
         ASSERT_NE(at, b.end());
         at[2] = '\n';
       },
       "imports su\\x0allocMem,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    Bytes bad = image_;
    c.make(bad);
    Loaded r = Load(bad);
    if (c.named == nullptr) {
      EXPECT_TRUE(r.ok) << r.why;
      continue;
    }
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.why.find(c.named), std::string::npos) << r.why;
    EXPECT_EQ(r.why.find('\n'), std::string::npos);
  }
}

// What readelf prints for an image (-r and --dyn-syms, wide), line by line.
std::vector<std::string> ReadElf(const std::string& options, const std::string& image) {
  std::vector<std::string> lines;
  std::string command = std::string(ZQ_TEST_READELF) + " -W " + options + " " + image;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return lines;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) lines.emplace_back(buffer);
  pclose(pipe);
  return lines;
}

// Every slot a relocation names holds, after loading, what readelf's
// relocation table and the dynamic symbols say it must: the load base plus
// the word on file (relative), the resolved import (GOT and PLT slots), the
// word on file plus the symbol's address (absolute). Every other byte is the
// image's own, or zero past its part on file.
TEST(PhoneImageSlots, EveryRelocatedSlotHoldsWhatTheRelocationTableSays) {
  std::istringstream images(ZQ_TEST_PHONE_IMAGES);
  std::string path;
  int checked_images = 0;
  while (std::getline(images, path, ',')) {
    if (path.empty()) continue;
    SCOPED_TRACE(path);
    std::ifstream in(path, std::ios::binary);
    Bytes file(std::istreambuf_iterator<char>(in), {});
    Loaded r = Load(file);
    ASSERT_TRUE(r.ok) << r.why;
    const uint32_t base = 0x40000000u;
    size_t segment = Get32(file, ProgramHeader(file, 1) + 4), on_file = Get32(file, ProgramHeader(file, 1) + 16);

    std::map<std::string, std::pair<uint32_t, bool>> symbols;  // name: value, defined
    for (const std::string& line : ReadElf("--dyn-syms", path)) {
      std::istringstream fields(line);
      std::string num, value, size, type, bind, vis, ndx, name;
      if (fields >> num >> value >> size >> type >> bind >> vis >> ndx >> name && num.back() == ':' &&
          isdigit((uint8_t)num[0]))
        symbols[name] = {(uint32_t)std::stoul(value, nullptr, 16), ndx != "UND"};
    }
    ASSERT_FALSE(symbols.empty());

    std::map<uint32_t, uint32_t> expected;  // slot: value
    size_t announced = 0;
    for (const std::string& line : ReadElf("-r", path)) {
      size_t entries = line.find(" contains ");
      if (entries != std::string::npos) announced += std::stoul(line.substr(entries + 10));
      std::istringstream fields(line);
      std::string offset, info, type, value, name;
      if (!(fields >> offset >> info >> type) || type.rfind("R_ARM_", 0) != 0) continue;
      fields >> value >> name;
      uint32_t where = (uint32_t)std::stoul(offset, nullptr, 16);
      ASSERT_LE(where + 4, r.memory.size());
      uint32_t word = where + 4 <= on_file ? Get32(file, segment + where) : 0;
      uint32_t target = 0;
      if (type != "R_ARM_RELATIVE") {
        ASSERT_EQ(symbols.count(name), 1u) << line;
        auto [symbol_value, defined] = symbols[name];
        if (defined) {
          target = base + symbol_value;
        } else {
          ASSERT_TRUE(Resolve(name.c_str(), &target, nullptr)) << line;
        }
      }
      if (type == "R_ARM_RELATIVE")
        expected[where] = word + base;
      else if (type == "R_ARM_ABS32")
        expected[where] = word + target;
      else if (type == "R_ARM_GLOB_DAT" || type == "R_ARM_JUMP_SLOT")
        expected[where] = target;
      else
        ADD_FAILURE() << "a relocation the loader does not apply: " << line;
    }
    ASSERT_GT(announced, 0u);
    ASSERT_EQ(expected.size(), announced);

    for (uint32_t at = 0; at < r.memory.size(); ++at) {
      auto slot = expected.find(at & ~3u);
      if (slot != expected.end()) {
        if ((at & 3) == 0) {
          EXPECT_EQ(Get32(r.memory, at), slot->second) << "slot " << std::hex << at;
        }
        continue;
      }
      uint8_t own = at < on_file ? file[segment + at] : 0;
      ASSERT_EQ(r.memory[at], own) << "byte " << std::hex << at << " that no relocation names";
    }
    ++checked_images;
  }
  if (checked_images == 0) GTEST_SKIP() << "no phone images (arm-none-eabi-gcc missing)";
}

}  // namespace
