// SPDX-License-Identifier: MIT
#include "lyrics_support.h"

#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "sim/driver.h"
#include "sim/utf8.h"

namespace lyrics_test {

namespace {

void Mark(Bytes& out, std::initializer_list<uint8_t> mark, bool wanted) {
  // Byte by byte: gcc 12 takes an insert of the list into an empty vector
  // for an overflow and warns.
  if (wanted)
    for (uint8_t b : mark) out.push_back(b);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::u16string Copy(const WCHAR* text) {
  return text == nullptr ? std::u16string(u"<null>") : std::u16string(text);
}

}  // namespace

Bytes Utf8(const std::u16string& text, bool mark) {
  Bytes out;
  Mark(out, {0xEF, 0xBB, 0xBF}, mark);
  for (char16_t c : text) {
    char bytes[sim::kUtf8MaxBytes];
    const size_t n = sim::EncodeUtf8(c, bytes);
    out.insert(out.end(), bytes, bytes + n);
  }
  return out;
}

Bytes Utf16Le(const std::u16string& text, bool mark) {
  Bytes out;
  Mark(out, {0xFF, 0xFE}, mark);
  for (char16_t c : text) {
    out.push_back((uint8_t)(c & 0xFF));
    out.push_back((uint8_t)(c >> 8));
  }
  return out;
}

Bytes Utf16Be(const std::u16string& text, bool mark) {
  Bytes out;
  Mark(out, {0xFE, 0xFF}, mark);
  for (char16_t c : text) {
    out.push_back((uint8_t)(c >> 8));
    out.push_back((uint8_t)(c & 0xFF));
  }
  return out;
}

Bytes Gb2312(const std::u16string& text) {
  iconv_t cd = iconv_open("GB2312", "UTF-16LE");
  if (cd == (iconv_t)-1) throw std::runtime_error("no GB2312 encoder");
  Bytes in = Utf16Le(text, false);
  Bytes out(in.size() * 2 + 4);
  char* in_ptr = (char*)in.data();
  char* out_ptr = (char*)out.data();
  size_t in_left = in.size();
  size_t out_left = out.size();
  size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  if (rc == (size_t)-1) throw std::runtime_error("text without a GB2312 form");
  out.resize(out.size() - out_left);
  return out;
}

Bytes Raw(const std::string& bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

Record Snapshot(const LRC* lrc) {
  Record r;
  r.ti = Copy(lrc->ti);
  r.ar = Copy(lrc->ar);
  r.al = Copy(lrc->al);
  r.by = Copy(lrc->by);
  r.offset = lrc->offset;
  for (uint32_t k = 0; k < lrc->line_count; ++k) {
    const LRC_LINE& line = lrc->lines[k];
    r.lines.emplace_back(line.text, line.len);
  }
  for (uint32_t k = 0; k < lrc->time_count; ++k) r.times.emplace_back(lrc->times[k].time, lrc->times[k].line);
  return r;
}

std::string Describe(const std::u16string& text) {
  std::ostringstream os;
  os << '"';
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      os << (char)c;
    } else {
      char hex[8];
      snprintf(hex, sizeof hex, "\\u%04x", (unsigned)c);
      os << hex;
    }
  }
  os << '"';
  return os.str();
}

std::string Describe(const Record& r) {
  std::ostringstream os;
  os << "{ti " << Describe(r.ti) << ", ar " << Describe(r.ar) << ", al " << Describe(r.al) << ", by " << Describe(r.by)
     << ", offset " << r.offset << ", lines [";
  for (const auto& line : r.lines) os << Describe(line) << ' ';
  os << "], times [";
  for (const auto& [time, line] : r.times) os << '(' << time << ',' << line << ") ";
  os << "]}";
  return os.str();
}

void PrintTo(const Record& record, std::ostream* os) {
  *os << Describe(record);
}

uint32_t LiveBlocks() {
  return sim::GetMemoryStats().live_blocks;
}

PhoneFolder::PhoneFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zq-lyrics-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
  std::filesystem::create_directories(path_ + "/mobile/audio/lrc");
  if (!sim::SetRoot(path_.c_str())) throw std::runtime_error("the stand-in refuses the root " + path_);
}

PhoneFolder::~PhoneFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void PhoneFolder::Write(const std::string& relative, const Bytes& bytes) const {
  std::filesystem::path file = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

void PhoneFolder::Remove(const std::string& relative) const {
  std::filesystem::remove(std::filesystem::path(path_) / relative);
}

void PhoneFolder::PlaceTable() const {
  Write("ELF/gb2uc.map", TableBytes());
}

const char* TablePath() {
  return ZQ_GB2UC_MAP;
}

const Bytes& TableBytes() {
  static const Bytes kBytes = ReadFile(TablePath());
  return kBytes;
}

uint16_t TableEntry(uint32_t k) {
  return (uint16_t)(TableBytes().at(2 * k) | (TableBytes().at(2 * k + 1) << 8));
}

}  // namespace lyrics_test
