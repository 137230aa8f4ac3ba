// SPDX-License-Identifier: MIT
#include "tools/zqsim/image_check.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <string.h>

#include <fstream>
#include <vector>

namespace zqsim {
namespace {

// The ELF header of `path`, when the file starts with one.
bool ReadElfHeader(const char* path, ElfW(Ehdr) * header) {
  std::ifstream in(path, std::ios::binary);
  return in.read(reinterpret_cast<char*>(header), sizeof *header) && memcmp(header->e_ident, ELFMAG, SELFMAG) == 0;
}

struct DynamicSymbols {
  std::vector<std::string> defined;
  std::vector<std::string> imported;  // undefined and not weak: the loader must find them
};

// The dynamic symbols of a shared object of this machine's class and byte
// order. The tables are copied out, as a file need not keep them aligned,
// and nothing is read outside the file.
DynamicSymbols ReadDynamicSymbols(const std::vector<char>& bytes) {
  DynamicSymbols out;
  auto read = [&](uint64_t offset, auto* into) {
    if (offset > bytes.size() || sizeof *into > bytes.size() - offset) return false;
    memcpy(into, bytes.data() + offset, sizeof *into);
    return true;
  };
  ElfW(Ehdr) eh;
  if (!read(0, &eh) || eh.e_shentsize != sizeof(ElfW(Shdr))) return out;
  for (uint64_t i = 0; i < eh.e_shnum; ++i) {
    ElfW(Shdr) symbols, strings;
    if (!read(eh.e_shoff + i * sizeof symbols, &symbols) || symbols.sh_type != SHT_DYNSYM) continue;
    if (!read(eh.e_shoff + uint64_t{symbols.sh_link} * sizeof strings, &strings)) continue;
    if (strings.sh_offset > bytes.size() || strings.sh_size > bytes.size() - strings.sh_offset) continue;
    for (uint64_t k = 1; k < symbols.sh_size / sizeof(ElfW(Sym)); ++k) {
      ElfW(Sym) sym;
      if (!read(symbols.sh_offset + k * sizeof sym, &sym)) break;
      if (sym.st_name >= strings.sh_size) continue;
      const char* name = bytes.data() + strings.sh_offset + sym.st_name;
      const void* end = memchr(name, 0, strings.sh_size - sym.st_name);
      if (end == nullptr || name == end) continue;
      if (sym.st_shndx != SHN_UNDEF)
        out.defined.emplace_back(name);
      else if (ELF64_ST_BIND(sym.st_info) != STB_WEAK)
        out.imported.emplace_back(name);
    }
  }
  return out;
}

}  // namespace

std::string ImageProblem(const std::string& path) {
  ElfW(Ehdr) own{}, image{};
  if (!ReadElfHeader(path.c_str(), &image)) return path + " is not a player image (not an ELF file)";
  bool own_known = ReadElfHeader("/proc/self/exe", &own);
  // The machine field is in the file's byte order; the phone's is big-endian.
  bool swapped = own_known && image.e_ident[EI_DATA] != own.e_ident[EI_DATA];
  uint16_t machine = swapped ? __builtin_bswap16(image.e_machine) : image.e_machine;
  if (machine == EM_ARM && image.e_ident[EI_DATA] == ELFDATA2MSB)
    return path + " is a phone image; zqsim runs the host images (build/<preset>/images/*.so)";
  bool same_machine =
      own_known && !swapped && image.e_ident[EI_CLASS] == own.e_ident[EI_CLASS] && image.e_machine == own.e_machine;
  if (!same_machine || image.e_type != ET_DYN)
    return path + " is not a player image (not a shared object of this machine)";

  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DynamicSymbols symbols = ReadDynamicSymbols(bytes);
  bool has_entry = false;
  for (const std::string& name : symbols.defined) has_entry = has_entry || name == "Lib";
  if (!has_entry) return path + " is not a player image (it has no entry Lib)";
  // The dynamic loader resolves the imports from what this process holds:
  // the stand-in's services and the libraries zqsim itself uses.
  for (const std::string& name : symbols.imported)
    if (dlsym(RTLD_DEFAULT, name.c_str()) == nullptr)
      return path + " imports " + name + ", which the stand-in does not offer";
  return "";
}

}  // namespace zqsim
