// SPDX-License-Identifier: MIT
#include "phone_run.h"

#include <stdlib.h>

#include <filesystem>

#include "app/player_state.h"
#include "file_io.h"
#include "lyrics/encoding.h"
#include "lyrics/loader.h"
#include "lyrics/parser.h"
#include "sim/driver.h"

namespace zqlrc {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLyricsFolder = "mobile/audio/lrc";
constexpr const char* kLyricsName = "track.lrc";
const char16_t kTrackUri[] = u"file://b/mobile/audio/track.mp3";
// The parser's limit: a longer file is refused before detection.
constexpr size_t kMaxFileBytes = 65534;

// Links `target` at `link`, or copies it where links are not possible.
bool Place(const fs::path& target, const fs::path& link, std::string* error) {
  std::error_code ec;
  fs::remove(link, ec);
  fs::create_symlink(fs::absolute(target), link, ec);
  if (!ec) return true;
  fs::copy_file(target, link, fs::copy_options::overwrite_existing, ec);
  if (ec) *error = "cannot place " + target.string() + ": " + ec.message();
  return !ec;
}

}  // namespace

PhoneRun::PhoneRun() {
  std::string pattern = (fs::temp_directory_path() / "zqlrc-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) root_ = pattern;
}

PhoneRun::~PhoneRun() {
  std::error_code ignored;
  if (!root_.empty()) fs::remove_all(root_, ignored);
}

bool PhoneRun::SetTable(const TableSetup& table, std::string* error) {
  if (root_.empty()) {
    *error = "cannot make a temporary folder";
    return false;
  }
  std::error_code ec;
  fs::create_directories(fs::path(root_) / kLyricsFolder, ec);
  fs::create_directories(fs::path(root_) / "ELF", ec);
  if (ec || !sim::SetRoot(root_.c_str())) {
    *error = "cannot prepare the phone folder " + root_;
    return false;
  }
  if (!fs::is_regular_file(table.path, ec)) {
    *error = "cannot read the GB2312 table " + table.path;
    return false;
  }
  if (table.patch) {
    // Firmware memory holds a whole table or nothing.
    if (!sim::InstallGb2ucFile(table.path.c_str())) {
      *error = "the GB2312 table " + table.path + " is not a 15228-byte table";
      return false;
    }
    return true;
  }
  // The file route reads the table file as it is, short or not, like the phone.
  return Place(table.path, fs::path(root_) / "ELF" / "gb2uc.map", error);
}

bool PhoneRun::Load(const std::string& host_file, LoadOutcome* out, std::string* error) {
  if (!ReadWholeFile(host_file, &out->bytes, error)) return false;
  if (!Place(host_file, fs::path(root_) / kLyricsFolder / kLyricsName, error)) return false;

  size_t k = 0;
  for (; kTrackUri[k] != 0; ++k) player.filename[k] = kTrackUri[k];
  player.filename[k] = 0;
  player.lrc = nullptr;
  player.iRet = kLrcNotLoaded;
  GetLRCFile();
  out->status = player.iRet;
  out->lrc = player.lrc;
  player.lrc = nullptr;
  out->encoding = Detect(out->bytes);
  return true;
}

int PhoneRun::Detect(const std::vector<uint8_t>& bytes) {
  // The loader decides empty and over-long files before anything is detected.
  size_t size = bytes.size();
  return (size == 0 || size > kMaxFileBytes) ? -1 : GetCodeType(bytes.data(), (uint16_t)size);
}

std::u16string PhoneRun::ConvertAsPhone(const std::vector<uint8_t>& bytes) const {
  int code = Detect(bytes);
  return code > 0 ? Convert(bytes, (uint8_t)code) : std::u16string();
}

uint8_t PhoneRun::ParseStatus(const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > kMaxFileBytes) return kLrcErrFile;
  uint8_t status = kLrcNotLoaded;
  LRC* lrc = GetLRCFromBuf(bytes.data(), (uint16_t)bytes.size(), &status);
  DESTROY_LRC(&lrc);
  return status;
}

LoadOutcome PhoneRun::Outcome(const std::vector<uint8_t>& bytes) {
  LoadOutcome out;
  out.bytes = bytes;
  out.encoding = Detect(bytes);
  if (out.encoding < 0) {
    out.status = kLrcErrFile;
    return out;
  }
  uint8_t status = kLrcNotLoaded;
  out.lrc = GetLRCFromBuf(bytes.data(), (uint16_t)bytes.size(), &status);
  out.status = status;
  return out;
}

std::u16string PhoneRun::Convert(const std::vector<uint8_t>& bytes, uint8_t code) const {
  if (bytes.empty() || bytes.size() > kMaxFileBytes) return std::u16string();
  std::vector<WCHAR> units(bytes.size() + 2);
  uint16_t len = (uint16_t)bytes.size();
  uint16_t n = 0;
  switch (code) {
    case kCodeGB2312:
      n = GBToUBE(units.data(), bytes.data(), len);
      break;
    case kCodeUtf16Le:
      n = ULEToUBE(units.data(), bytes.data(), len);
      break;
    case kCodeUtf16Be:
      n = UBEToUBE(units.data(), bytes.data(), len);
      break;
    case kCodeUtf8:
      n = UTF8ToUBE(units.data(), bytes.data(), len);
      break;
    default:
      break;
  }
  return std::u16string(units.data(), n);
}

}  // namespace zqlrc
