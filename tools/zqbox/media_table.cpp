#include "tools/zqbox/media_table.h"

#include "drive/trace.h"
#include "sim/driver.h"
#include "sim/port.h"

namespace zqbox {
namespace {

constexpr int64_t kMaxTableBytes = 64 << 20;

// The next field of a line: up to the next tab, or to the end.
const char* field_end(const char* at, const char* end) {
  while (at < end && *at != '\t') ++at;
  return at;
}

}  // namespace

MediaTable::~MediaTable() {
  entries_.release();
  chars_.release();
}

uint32_t MediaTable::keep(const char* text, size_t length) {
  uint32_t at = chars_.size();
  char* to = length < UINT32_MAX ? chars_.append(static_cast<uint32_t>(length) + 1) : nullptr;
  if (to == nullptr) return UINT32_MAX;
  for (size_t i = 0; i < length; ++i) to[i] = text[i];
  to[length] = '\0';
  return at;
}

bool MediaTable::parse(const char* text, size_t length, drive::Text* error) {
  const char* at = text;
  const char* end = text + length;
  uint32_t number = 0;
  while (at < end) {
    ++number;
    const char* line_end = at;
    while (line_end < end && *line_end != '\n') ++line_end;
    Entry e{};
    const char* first = field_end(at, line_end);
    bool ok = first < line_end;
    const char* path = first + 1;
    const char* why = path;
    if (ok && first - at == 1 && *at == '-') {
      const char* second = field_end(path, line_end);
      ok = second < line_end;
      e.decodable = false;
      e.why_at = keep(why, static_cast<size_t>(second - why));
      path = second + 1;
    } else if (ok) {
      e.decodable = true;
      for (const char* d = at; ok && d < first; ++d) {
        ok = *d >= '0' && *d <= '9' && e.length_ms <= (UINT32_MAX - 9) / 10;
        e.length_ms = e.length_ms * 10 + static_cast<uint32_t>(*d - '0');
      }
      ok = ok && first > at;
      e.why_at = keep("", 0);
    }
    if (ok) e.path_at = keep(path, static_cast<size_t>(line_end - path));
    Entry* slot = ok && e.path_at != UINT32_MAX && e.why_at != UINT32_MAX ? entries_.append(1) : nullptr;
    if (slot == nullptr) {
      error->assign("line ");
      error->append_number(number).append(ok ? " of the media table: no memory" : " of the media table is malformed");
      return false;
    }
    *slot = e;
    at = line_end < end ? line_end + 1 : end;
  }
  return true;
}

bool MediaTable::load(const char* path, drive::Text* error) {
  int fd = sim::port::open_read(path);
  int64_t size = fd >= 0 ? sim::port::file_size(fd) : -1;
  char* bytes =
      size >= 0 && size <= kMaxTableBytes ? static_cast<char*>(sim::port::allocate((size_t)size + 1)) : nullptr;
  bool read = bytes != nullptr && sim::port::read(fd, bytes, (size_t)size) == size;
  sim::port::close(fd);
  bool ok = read && parse(bytes, (size_t)size, error);
  if (!read) {
    error->assign("cannot read the media table ");
    error->append(path);
  }
  if (bytes != nullptr) sim::port::release(bytes);
  return ok;
}

bool MediaTable::lookup(const char* path, uint32_t* length_ms, const char** why) const {
  for (uint32_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (!drive::same_text(&chars_[e.path_at], path)) continue;
    *length_ms = e.length_ms;
    *why = &chars_[e.why_at];
    return e.decodable;
  }
  *why = "the launcher did not probe it";
  return false;
}

void MediaTable::install(const char* root, bool verbose, const char* program) {
  root_.assign(root);
  // The stand-in takes "dir/" and "dir" as one root.
  while (root_.size() > 1 && root_.c_str()[root_.size() - 1] == '/') root_.cut(root_.size() - 1);
  verbose_ = verbose;
  program_ = program;
  sim::set_media_probe(&MediaTable::probe, this);
}

bool MediaTable::probe(const char* host_path, uint32_t* length_ms, void* ctx) {
  auto* table = static_cast<MediaTable*>(ctx);
  const char* rest = host_path;
  if (drive::starts_with(host_path, table->root_.c_str())) rest = host_path + table->root_.size();
  while (*rest == '/') ++rest;
  const char* why = "";
  if (table->lookup(rest, length_ms, &why)) return true;
  if (table->verbose_) {
    drive::Text line("cannot decode ");
    line.append(host_path).append(": ").append(why);
    drive::say(table->program_, line.c_str());
  }
  return false;
}

}  // namespace zqbox
