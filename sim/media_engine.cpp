// SPDX-License-Identifier: MIT
// The media engine: playback objects that answer by events. The position of
// a playing object follows the stand-in's clock; a playing object that
// reaches its length ends by itself with end status 1. As a phone's engine
// does, it opens a file it cannot decode like any other, and that file
// breaks off when it is played.
#include "platform/media.h"
#include "sim/file_log.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"
#include "sim/port.h"
#include "sim/port_array.h"

namespace sim::fw {
namespace {

constexpr int kMaxObjects = 4;
constexpr size_t kUriBytes = 1024;  // 255 units of UTF-16 as UTF-8, with room
constexpr uint32_t kDefaultLengthMs = 180000;
constexpr uint32_t kFirstHandle = 0x3001;
constexpr uint8_t kEndInterrupted = 2;
// A file that cannot be decoded breaks off this long after each start, so
// that the clock moves on even when the program plays it again and again.
constexpr uint32_t kBreakOffAfterMs = 100;
// A second break-off this close to the first is at the same place.
constexpr uint32_t kSamePlaceMs = 1000;

struct Object {
  bool used;
  uint32_t handle;
  uint32_t port;
  bool playing;
  uint32_t position;  // ms, at `anchor` while playing
  uint32_t anchor;
  uint32_t length;
  uint32_t serial;  // creation order
  bool broken;      // a file that cannot be decoded: length 0, breaks off
  bool broke_off;   // it has broken off before, at `broke_at` (ms)
  uint32_t broke_at;
  char host_path[512];
  char name[256];
};

// An answer of the engine (ready, seek done) held back for the driver.
struct Answer {
  uint32_t code;
  uint32_t handle;
  uint32_t port;
};
constexpr int kMaxHeld = 16;

// The table of track lengths the driver sets, as large as the folder played.
struct TrackLength {
  uint32_t ms;
  uint32_t uri_at;  // first byte of the URI, with its zero, in `uris`
};

struct Engine {
  Object objects[kMaxObjects];
  PortArray<TrackLength> lengths;
  PortArray<char> uris;
  MediaProbe probe;
  void* probe_ctx;
  uint32_t refusals[6];
  bool ends_tracks;
  bool hold;  // answers wait in `held` until the driver lets them go
  int held_count;
  Answer held[kMaxHeld];
  uint32_t next_handle;
  uint32_t next_serial;
  uint32_t calls;  // MME_GC_playback_* calls of the program, any handle, any result
};

Engine e;

Object* Find(uint32_t handle) {
  if (handle == 0) return nullptr;
  for (auto& o : e.objects)
    if (o.used && o.handle == handle) return &o;
  return nullptr;
}

Object* Current() {
  Object* best = nullptr;
  for (auto& o : e.objects)
    if (o.used && (!best || o.serial > best->serial)) best = &o;
  return best;
}

bool Refused(EngineOp op) {
  uint32_t& n = e.refusals[static_cast<int>(op)];
  if (n == 0) return false;
  --n;
  return true;
}

// The start of every operation on an object: the call is counted, the
// object found, and a refusal (the driver's, or `blocked`) applied. Null,
// with the result to return in *result, when the operation does not go on.
Object* Take(uint32_t handle, EngineOp op, bool blocked, uint32_t* result) {
  ++e.calls;
  Object* o = Find(handle);
  if (!o) {
    *result = 1;
    return nullptr;
  }
  if (blocked || Refused(op)) {
    *result = 2;
    return nullptr;
  }
  return o;
}

void PostAnswer(const Answer& a) {
  PLAYBACK_END_ATTACH_T attach{};
  attach.handle = a.handle;
  internal::PostToPort(a.port, a.code, &attach, sizeof(attach));
}

// Takes held answer i out of the list and posts it.
void LetGo(int i) {
  Answer a = e.held[i];
  for (int k = i + 1; k < e.held_count; ++k) e.held[k - 1] = e.held[k];
  --e.held_count;
  PostAnswer(a);
}

// The engine answers an operation now, or holds the answer back while the
// driver asks it to; an engine that holds more than it can keeps answering
// the oldest.
void Respond(const Object& o, uint32_t code) {
  Answer a{code, o.handle, o.port};
  if (!e.hold) {
    PostAnswer(a);
    return;
  }
  if (e.held_count == kMaxHeld) LetGo(0);
  e.held[e.held_count++] = a;
}

// A deleted object answers nothing more.
void ForgetAnswers(uint32_t handle) {
  int kept = 0;
  for (int i = 0; i < e.held_count; ++i)
    if (e.held[i].handle != handle) e.held[kept++] = e.held[i];
  e.held_count = kept;
}

uint32_t Position(const Object& o) {
  if (!o.playing) return o.position;
  uint64_t p = static_cast<uint64_t>(o.position) + (NowMs() - o.anchor);
  return p > o.length ? o.length : static_cast<uint32_t>(p);
}

// The end of playback, to the port the object was created for.
void PostEnd(Object& o, uint8_t status) {
  o.position = Position(o);
  o.playing = false;
  PLAYBACK_END_ATTACH_T end{};
  end.handle = o.handle;
  end.status = status;
  internal::PostToPort(o.port, EV_PLAYBACK_END, &end, sizeof(end));
}

// The program answers an interruption by seeking back to its last counted
// second and playing again; a file that breaks off at the same place again
// would so be played for ever, and ends there as played instead.
void BreakOff(Object& o) {
  uint32_t at = Position(o);
  uint32_t gap = at > o.broke_at ? at - o.broke_at : o.broke_at - at;
  bool again = o.broke_off && gap <= kSamePlaceMs;
  o.broke_off = true;
  o.broke_at = at;
  internal::Emit(Fact::kBreakOff, at, o.name);
  PostEnd(o, again ? MME_END_COMPLETE : kEndInterrupted);
}

uint32_t BreakOffTime(const Object& o) {
  uint64_t at = static_cast<uint64_t>(o.anchor) + kBreakOffAfterMs;
  return at >= UINT32_MAX ? UINT32_MAX - 1 : static_cast<uint32_t>(at);
}

char Folded(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// URIs name files of the phone's FAT card: letter case does not matter.
TrackLength* LengthEntry(const char* uri) {
  for (uint32_t i = 0; i < e.lengths.Size(); ++i) {
    const char* a = &e.uris[e.lengths[i].uri_at];
    const char* b = uri;
    for (; *a != '\0' && Folded(*a) == Folded(*b); ++a, ++b) {
    }
    if (*a == *b) return &e.lengths[i];
  }
  return nullptr;
}

// A file the engine cannot decode: one the probe refuses, or without a
// probe an empty one.
bool Undecodable(const char* path, uint32_t* probed) {
  if (e.probe) return !e.probe(path, probed, e.probe_ctx);
  int fd = port::OpenRead(path);
  int64_t size = fd >= 0 ? port::FileSize(fd) : -1;
  port::Close(fd);
  return size <= 0;
}

}  // namespace

void MediaDeleteAll() {
  for (auto& o : e.objects) o.used = false;
  e.held_count = 0;
}

}  // namespace sim::fw

namespace sim {

using fw::e;

void SetTrackLength(const char* uri_utf8, uint32_t ms) {
  if (!uri_utf8 || fw::TextLength(uri_utf8) >= fw::kUriBytes) {
    fw::Report("set_track_length", "refused: URI missing or too long");
    return;
  }
  if (fw::TrackLength* known = fw::LengthEntry(uri_utf8)) {
    known->ms = ms;
    return;
  }
  uint32_t bytes = static_cast<uint32_t>(fw::TextLength(uri_utf8)) + 1;
  uint32_t uri_at = e.uris.Size();
  char* uri = e.uris.Append(bytes);
  fw::TrackLength* entry = uri ? e.lengths.Append(1) : nullptr;
  if (!entry) {
    e.uris.Cut(uri_at);
    fw::Report("set_track_length", "refused: no memory for the table of track lengths");
    return;
  }
  fw::CopyText(uri, bytes, uri_utf8);
  entry->ms = ms;
  entry->uri_at = uri_at;
}

void SetMediaProbe(MediaProbe probe, void* ctx) {
  e.probe = probe;
  e.probe_ctx = ctx;
}

void RefuseEngine(EngineOp op, uint32_t times) {
  if (static_cast<int>(op) < 6) e.refusals[static_cast<int>(op)] = times;
}

bool EndTrack(uint8_t status) {
  fw::Object* o = fw::Current();
  if (!o) return false;
  fw::PostEnd(*o, status);
  RunPending();
  return true;
}

bool BreakOffTrack() {
  fw::Object* o = fw::Current();
  if (!o) return false;
  fw::BreakOff(*o);
  RunPending();
  return true;
}

bool GetPlaybackInfo(PlaybackInfo* out) {
  if (!out) return false;
  fw::ZeroBytes(out, sizeof(*out));
  fw::Object* o = fw::Current();
  if (!o) return false;
  out->exists = true;
  out->handle = o->handle;
  out->playing = o->playing;
  out->broken = o->broken;
  out->position_ms = fw::Position(*o);
  out->length_ms = o->length;
  fw::CopyText(out->host_path, sizeof(out->host_path), o->host_path);
  fw::CopyText(out->name, sizeof(out->name), o->name);
  return true;
}

uint32_t PlaybackObjects() {
  uint32_t n = 0;
  for (const auto& o : e.objects) n += o.used ? 1 : 0;
  return n;
}

void HoldEngineAnswers(bool yes) {
  e.hold = yes;
  if (!yes) {
    while (e.held_count > 0) fw::LetGo(0);
    RunPending();
  }
}

bool DeliverEngineAnswer(EngineAnswer which) {
  uint32_t code = which == EngineAnswer::kReady ? EV_PLAYBACK_READY : EV_PLAYBACK_SEEK_DONE;
  for (int i = 0; i < e.held_count; ++i) {
    if (e.held[i].code != code) continue;
    fw::LetGo(i);
    RunPending();
    return true;
  }
  return false;
}

uint32_t EngineCalls() {
  return e.calls;
}

void SetEngineEndsTracks(bool yes) {
  e.ends_tracks = yes;
}

namespace internal {

void MediaReset() {
  e.lengths.Release();
  e.uris.Release();
  fw::ZeroBytes(&e, sizeof(e));
  e.ends_tracks = true;
  e.next_handle = fw::kFirstHandle;
  e.next_serial = 1;
}

uint32_t MediaNextDeadline() {
  uint32_t best = UINT32_MAX;
  uint32_t now = NowMs();
  for (auto& o : e.objects) {
    if (!o.used || !o.playing) continue;
    if (o.broken) {
      uint32_t at = fw::BreakOffTime(o);
      if (at < best) best = at;
      continue;
    }
    if (!e.ends_tracks) continue;
    uint32_t left = o.length - fw::Position(o);
    uint64_t at = static_cast<uint64_t>(now) + left;
    if (at < best) best = static_cast<uint32_t>(at);
  }
  return best;
}

void MediaRunUntil(uint32_t now) {
  for (auto& o : e.objects) {
    if (!o.used || !o.playing) continue;
    if (o.broken) {
      if (now >= fw::BreakOffTime(o)) fw::BreakOff(o);
    } else if (e.ends_tracks && fw::Position(o) >= o.length) {
      fw::PostEnd(o, MME_END_COMPLETE);
    }
  }
}

void MediaVoiceCallStarted() {
  for (auto& o : e.objects)
    if (o.used && o.playing) fw::PostEnd(o, fw::kEndInterrupted);
}

}  // namespace internal
}  // namespace sim

using namespace sim::fw;
using sim::EngineOp;
using sim::Fact;

ZQ_EXTERN_C uint32_t MME_GC_playback_create(uint32_t* port_block, const WCHAR* uri, uint32_t, uint32_t, uint32_t,
                                            uint32_t, uint32_t, uint32_t) {
  ++e.calls;
  if (!port_block || !uri || Refused(EngineOp::Create)) return 0;
  char path[512];
  if (!sim::HostPath(uri, path, sizeof(path)) || !sim::port::ExistsFile(path)) return 0;
  uint32_t probed = 0;
  bool broken = Undecodable(path, &probed);
  Object* o = nullptr;
  for (auto& slot : e.objects)
    if (!slot.used) {
      o = &slot;
      break;
    }
  if (!o) {
    Report("MME_GC_playback_create", "refused: too many playback objects");
    return 0;
  }
  char uri8[kUriBytes];
  sim::internal::Utf16ToUtf8(uri, uri8, sizeof(uri8));
  ZeroBytes(o, sizeof(*o));
  o->used = true;
  o->handle = e.next_handle++;
  o->serial = e.next_serial++;
  o->port = *port_block;
  o->broken = broken;
  if (broken) {
    o->length = 0;
  } else if (const TrackLength* known = LengthEntry(uri8)) {
    o->length = known->ms;
  } else {
    o->length = probed ? probed : kDefaultLengthMs;
  }
  CopyText(o->host_path, sizeof(o->host_path), path);
  CopyText(o->name, sizeof(o->name), AfterLastSlash(uri8));
  sim::file_log::NotePlay(uri8);
  sim::internal::Emit(Fact::kTrack, 0, o->name);
  Respond(*o, EV_PLAYBACK_READY);
  return o->handle;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_start(uint32_t handle, uint32_t, uint32_t) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::kStart, sim::internal::VoiceCallActive(), &refusal);
  if (!o) return refusal;
  o->position = Position(*o);
  o->anchor = sim::NowMs();
  o->playing = true;
  sim::internal::Emit(Fact::kEngineStart, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_pause(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::Pause, false, &refusal);
  if (!o) return refusal;
  o->position = Position(*o);
  o->playing = false;
  sim::internal::Emit(Fact::kEnginePause, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_stop(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::Stop, false, &refusal);
  if (!o) return refusal;
  o->position = 0;
  o->playing = false;
  sim::internal::Emit(Fact::kEngineStop, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_delete(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::Delete, false, &refusal);
  if (!o) return refusal;
  o->used = false;
  ForgetAnswers(o->handle);
  sim::internal::Emit(Fact::kEngineDelete, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_seek(uint32_t handle, uint32_t position_ms) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::Seek, false, &refusal);
  if (!o) return refusal;
  o->position = position_ms > o->length ? o->length : position_ms;
  o->anchor = sim::NowMs();
  sim::internal::Emit(Fact::kEngineSeek, position_ms, nullptr);
  Respond(*o, EV_PLAYBACK_SEEK_DONE);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_get_attribute(uint32_t handle, uint32_t attribute, uint32_t* value) {
  ++e.calls;
  Object* o = Find(handle);
  if (!o || !value) return 1;
  if (attribute == MME_ATTR_LENGTH) {
    *value = o->length / 1000;
  } else if (attribute == MME_ATTR_POSITION) {
    *value = Position(*o) / 1000;
  } else {
    return 1;
  }
  return 0;
}
