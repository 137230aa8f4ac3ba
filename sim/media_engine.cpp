// The media engine: playback objects that answer by events. The position of
// a playing object follows the stand-in's clock; a playing object that
// reaches its length ends by itself with end status 1.
#include "platform/media.h"
#include "sim/file_log.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace sim::fw {
namespace {

constexpr int kMaxObjects = 4;
constexpr int kMaxLengths = 64;
constexpr size_t kUriBytes = 1024;  // 255 units of UTF-16 as UTF-8, with room
constexpr uint32_t kDefaultLengthMs = 180000;
constexpr uint32_t kFirstHandle = 0x3001;
constexpr uint8_t kEndInterrupted = 2;

struct Object {
  bool used;
  uint32_t handle;
  uint32_t port;
  bool playing;
  uint32_t position;  // ms, at `anchor` while playing
  uint32_t anchor;
  uint32_t length;
  uint32_t serial;  // creation order
  char host_path[512];
  char name[256];
};

struct TrackLength {
  bool used;
  uint32_t ms;
  char uri[512];
};

struct Engine {
  Object objects[kMaxObjects];
  TrackLength lengths[kMaxLengths];
  MediaProbe probe;
  void* probe_ctx;
  uint32_t refusals[6];
  bool ends_tracks;
  uint32_t next_handle;
  uint32_t next_serial;
  uint32_t calls;  // MME_GC_playback_* calls of the program, any handle, any result
};

Engine e;

Object* find(uint32_t handle) {
  if (handle == 0) return nullptr;
  for (auto& o : e.objects)
    if (o.used && o.handle == handle) return &o;
  return nullptr;
}

Object* current() {
  Object* best = nullptr;
  for (auto& o : e.objects)
    if (o.used && (!best || o.serial > best->serial)) best = &o;
  return best;
}

bool refused(EngineOp op) {
  uint32_t& n = e.refusals[static_cast<int>(op)];
  if (n == 0) return false;
  --n;
  return true;
}

// The start of every operation on an object: the call is counted, the
// object found, and a refusal (the driver's, or `blocked`) applied. Null,
// with the result to return in *result, when the operation does not go on.
Object* take(uint32_t handle, EngineOp op, bool blocked, uint32_t* result) {
  ++e.calls;
  Object* o = find(handle);
  if (!o) {
    *result = 1;
    return nullptr;
  }
  if (blocked || refused(op)) {
    *result = 2;
    return nullptr;
  }
  return o;
}

uint32_t position(const Object& o) {
  if (!o.playing) return o.position;
  uint64_t p = static_cast<uint64_t>(o.position) + (now_ms() - o.anchor);
  return p > o.length ? o.length : static_cast<uint32_t>(p);
}

// The end of playback, to the port the object was created for.
void post_end(Object& o, uint8_t status) {
  o.position = position(o);
  o.playing = false;
  PLAYBACK_END_ATTACH_T end{};
  end.handle = o.handle;
  end.status = status;
  internal::post_to_port(o.port, EV_PLAYBACK_END, &end, sizeof(end));
}

bool length_for(const char* uri, uint32_t* ms) {
  for (auto& l : e.lengths)
    if (l.used && text_equal(l.uri, uri)) {
      *ms = l.ms;
      return true;
    }
  return false;
}

}  // namespace

void media_delete_all() {
  for (auto& o : e.objects) o.used = false;
}

}  // namespace sim::fw

namespace sim {

using fw::e;

void set_track_length(const char* uri_utf8, uint32_t ms) {
  if (!uri_utf8 || fw::text_length(uri_utf8) >= sizeof(e.lengths[0].uri)) {
    fw::report("set_track_length", "refused: URI missing or too long");
    return;
  }
  fw::TrackLength* free_slot = nullptr;
  for (auto& l : e.lengths) {
    if (l.used && fw::text_equal(l.uri, uri_utf8)) {
      l.ms = ms;
      return;
    }
    if (!l.used && !free_slot) free_slot = &l;
  }
  if (!free_slot) {
    fw::report("set_track_length", "refused: table of track lengths full");
    return;
  }
  free_slot->used = true;
  free_slot->ms = ms;
  fw::copy_text(free_slot->uri, sizeof(free_slot->uri), uri_utf8);
}

void set_media_probe(MediaProbe probe, void* ctx) {
  e.probe = probe;
  e.probe_ctx = ctx;
}

void refuse_engine(EngineOp op, uint32_t times) {
  if (static_cast<int>(op) < 6) e.refusals[static_cast<int>(op)] = times;
}

bool end_track(uint8_t status) {
  fw::Object* o = fw::current();
  if (!o) return false;
  fw::post_end(*o, status);
  run_pending();
  return true;
}

bool playback_info(PlaybackInfo* out) {
  if (!out) return false;
  fw::zero_bytes(out, sizeof(*out));
  fw::Object* o = fw::current();
  if (!o) return false;
  out->exists = true;
  out->handle = o->handle;
  out->playing = o->playing;
  out->position_ms = fw::position(*o);
  out->length_ms = o->length;
  fw::copy_text(out->host_path, sizeof(out->host_path), o->host_path);
  fw::copy_text(out->name, sizeof(out->name), o->name);
  return true;
}

uint32_t engine_calls() {
  return e.calls;
}

void set_engine_ends_tracks(bool yes) {
  e.ends_tracks = yes;
}

namespace internal {

void media_reset() {
  fw::zero_bytes(&e, sizeof(e));
  e.ends_tracks = true;
  e.next_handle = fw::kFirstHandle;
  e.next_serial = 1;
}

uint32_t media_next_deadline() {
  if (!e.ends_tracks) return UINT32_MAX;
  uint32_t best = UINT32_MAX;
  uint32_t now = now_ms();
  for (auto& o : e.objects) {
    if (!o.used || !o.playing) continue;
    uint32_t left = o.length - fw::position(o);
    uint64_t at = static_cast<uint64_t>(now) + left;
    if (at < best) best = static_cast<uint32_t>(at);
  }
  return best;
}

void media_run_until(uint32_t) {
  if (!e.ends_tracks) return;
  for (auto& o : e.objects)
    if (o.used && o.playing && fw::position(o) >= o.length) fw::post_end(o, MME_END_COMPLETE);
}

void media_voice_call_started() {
  for (auto& o : e.objects)
    if (o.used && o.playing) fw::post_end(o, fw::kEndInterrupted);
}

}  // namespace internal
}  // namespace sim

using namespace sim::fw;
using sim::EngineOp;
using sim::Fact;

ZQ_EXTERN_C uint32_t MME_GC_playback_create(uint32_t* port_block, const WCHAR* uri, uint32_t, uint32_t, uint32_t,
                                            uint32_t, uint32_t, uint32_t) {
  ++e.calls;
  if (!port_block || !uri || refused(EngineOp::Create)) return 0;
  char path[512];
  if (!sim::host_path(uri, path, sizeof(path)) || !sim::port::exists_file(path)) return 0;
  uint32_t probed = 0;
  if (e.probe && !e.probe(path, &probed, e.probe_ctx)) return 0;
  Object* o = nullptr;
  for (auto& slot : e.objects)
    if (!slot.used) {
      o = &slot;
      break;
    }
  if (!o) {
    report("MME_GC_playback_create", "refused: too many playback objects");
    return 0;
  }
  char uri8[kUriBytes];
  sim::internal::utf16_to_utf8(uri, uri8, sizeof(uri8));
  zero_bytes(o, sizeof(*o));
  o->used = true;
  o->handle = e.next_handle++;
  o->serial = e.next_serial++;
  o->port = *port_block;
  if (!length_for(uri8, &o->length)) o->length = probed ? probed : kDefaultLengthMs;
  copy_text(o->host_path, sizeof(o->host_path), path);
  copy_text(o->name, sizeof(o->name), after_last_slash(uri8));
  sim::file_log::note_play(uri8);
  sim::internal::emit(Fact::Track, 0, o->name);
  PLAYBACK_END_ATTACH_T ready{};
  ready.handle = o->handle;
  sim::internal::post_to_port(o->port, EV_PLAYBACK_READY, &ready, sizeof(ready));
  return o->handle;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_start(uint32_t handle, uint32_t, uint32_t) {
  uint32_t refusal = 0;
  Object* o = take(handle, EngineOp::Start, sim::internal::voice_call_active(), &refusal);
  if (!o) return refusal;
  o->position = position(*o);
  o->anchor = sim::now_ms();
  o->playing = true;
  sim::internal::emit(Fact::EngineStart, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_pause(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = take(handle, EngineOp::Pause, false, &refusal);
  if (!o) return refusal;
  o->position = position(*o);
  o->playing = false;
  sim::internal::emit(Fact::EnginePause, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_stop(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = take(handle, EngineOp::Stop, false, &refusal);
  if (!o) return refusal;
  o->position = 0;
  o->playing = false;
  sim::internal::emit(Fact::EngineStop, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_delete(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = take(handle, EngineOp::Delete, false, &refusal);
  if (!o) return refusal;
  o->used = false;
  sim::internal::emit(Fact::EngineDelete, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_seek(uint32_t handle, uint32_t position_ms) {
  uint32_t refusal = 0;
  Object* o = take(handle, EngineOp::Seek, false, &refusal);
  if (!o) return refusal;
  o->position = position_ms > o->length ? o->length : position_ms;
  o->anchor = sim::now_ms();
  sim::internal::emit(Fact::EngineSeek, position_ms, nullptr);
  PLAYBACK_END_ATTACH_T done{};
  done.handle = o->handle;
  sim::internal::post_to_port(o->port, EV_PLAYBACK_SEEK_DONE, &done, sizeof(done));
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_get_attribute(uint32_t handle, uint32_t attribute, uint32_t* value) {
  ++e.calls;
  Object* o = find(handle);
  if (!o || !value) return 1;
  if (attribute == MME_ATTR_LENGTH) {
    *value = o->length / 1000;
  } else if (attribute == MME_ATTR_POSITION) {
    *value = position(*o) / 1000;
  } else {
    return 1;
  }
  return 0;
}
