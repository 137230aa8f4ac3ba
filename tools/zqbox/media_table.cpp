// SPDX-License-Identifier: MIT
#include "tools/zqbox/media_table.h"

#include "drive/trace.h"
#include "sim/driver.h"
#include "sim/port.h"

namespace zqbox {
namespace {

constexpr int64_t kMaxTableBytes = 64 << 20;

// The next field of a line: up to the next tab, or to the end.
const char* FieldEnd(const char* at, const char* end) {
  while (at < end && *at != '\t') ++at;
  return at;
}

}  // namespace

MediaTable::~MediaTable() {
  entries_.Release();
  chars_.Release();
}

uint32_t MediaTable::Keep(const char* text, size_t length) {
  uint32_t at = chars_.Size();
  char* to = length < UINT32_MAX ? chars_.Append(static_cast<uint32_t>(length) + 1) : nullptr;
  if (to == nullptr) return UINT32_MAX;
  for (size_t i = 0; i < length; ++i) to[i] = text[i];
  to[length] = '\0';
  return at;
}

bool MediaTable::Parse(const char* text, size_t length, drive::Text* error) {
  const char* at = text;
  const char* end = text + length;
  uint32_t number = 0;
  while (at < end) {
    ++number;
    const char* line_end = at;
    while (line_end < end && *line_end != '\n') ++line_end;
    Entry e{};
    const char* first = FieldEnd(at, line_end);
    bool ok = first < line_end;
    const char* path = first + 1;
    const char* why = path;
    if (ok && first - at == 1 && *at == '-') {
      const char* second = FieldEnd(path, line_end);
      ok = second < line_end;
      e.decodable = false;
      e.why_at = Keep(why, static_cast<size_t>(second - why));
      path = second + 1;
    } else if (ok) {
      e.decodable = true;
      for (const char* d = at; ok && d < first; ++d) {
        ok = *d >= '0' && *d <= '9' && e.length_ms <= (UINT32_MAX - 9) / 10;
        e.length_ms = e.length_ms * 10 + static_cast<uint32_t>(*d - '0');
      }
      ok = ok && first > at;
      e.why_at = Keep("", 0);
    }
    if (ok) e.path_at = Keep(path, static_cast<size_t>(line_end - path));
    Entry* slot = ok && e.path_at != UINT32_MAX && e.why_at != UINT32_MAX ? entries_.Append(1) : nullptr;
    if (slot == nullptr) {
      error->Assign("line ");
      error->AppendNumber(number).Append(ok ? " of the media table: no memory" : " of the media table is malformed");
      return false;
    }
    *slot = e;
    at = line_end < end ? line_end + 1 : end;
  }
  return true;
}

bool MediaTable::Load(const char* path, drive::Text* error) {
  int fd = sim::port::OpenRead(path);
  int64_t size = fd >= 0 ? sim::port::FileSize(fd) : -1;
  char* bytes =
      size >= 0 && size <= kMaxTableBytes ? static_cast<char*>(sim::port::Allocate((size_t)size + 1)) : nullptr;
  bool read = bytes != nullptr && sim::port::Read(fd, bytes, (size_t)size) == size;
  sim::port::Close(fd);
  bool ok = read && Parse(bytes, (size_t)size, error);
  if (!read) {
    error->Assign("cannot read the media table ");
    error->Append(path);
  }
  if (bytes != nullptr) sim::port::Release(bytes);
  return ok;
}

bool MediaTable::Lookup(const char* path, uint32_t* length_ms, const char** why) const {
  for (uint32_t i = 0; i < entries_.Size(); ++i) {
    const Entry& e = entries_[i];
    if (!drive::SameText(&chars_[e.path_at], path)) continue;
    *length_ms = e.length_ms;
    *why = &chars_[e.why_at];
    return e.decodable;
  }
  *why = "the launcher did not probe it";
  return false;
}

void MediaTable::Install(const char* root, bool verbose, const char* program) {
  root_.Assign(root);
  // The stand-in takes "dir/" and "dir" as one root.
  while (root_.Size() > 1 && root_.CStr()[root_.Size() - 1] == '/') root_.Cut(root_.Size() - 1);
  verbose_ = verbose;
  program_ = program;
  sim::SetMediaProbe(&MediaTable::Probe, this);
}

bool MediaTable::Probe(const char* host_path, uint32_t* length_ms, void* ctx) {
  auto* table = static_cast<MediaTable*>(ctx);
  const char* rest = host_path;
  if (drive::StartsWith(host_path, table->root_.CStr())) rest = host_path + table->root_.Size();
  while (*rest == '/') ++rest;
  const char* why = "";
  if (table->Lookup(rest, length_ms, &why)) return true;
  if (table->verbose_) {
    drive::Text line("cannot decode ");
    line.Append(host_path).Append(": ").Append(why);
    drive::Say(table->program_, line.CStr());
  }
  return false;
}

}  // namespace zqbox
