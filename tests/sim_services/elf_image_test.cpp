// SPDX-License-Identifier: MIT
// The loader's checks of phone images: a real phone image loads, and each
// variant made from it by one fault is refused with a line naming the fault.
#include "sim/elf_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
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
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.why.find(c.named), std::string::npos) << r.why;
    EXPECT_EQ(r.why.find('\n'), std::string::npos);
  }
}

}  // namespace
