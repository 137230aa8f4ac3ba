// SPDX-License-Identifier: MIT
// The media engine: playback objects that answer by events. The position of
// a playing object follows the stand-in's clock; a playing object that
// reaches its length ends by itself with end status 1. As a phone's engine
// does, it opens a file it cannot decode like any other, and that file
// breaks off when it is played. This file holds the objects and what the
// driver asks of them; media_services.cpp the firmware entries.
#include "sim/media_engine.h"

#include "platform/media.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace sim::fw {
namespace media {

Engine g_engine;

Object* Find(uint32_t handle) {
  if (handle == 0) return nullptr;
  for (auto& o : g_engine.objects)
    if (o.used && o.handle == handle) return &o;
  return nullptr;
}

Object* Current() {
  Object* best = nullptr;
  for (auto& o : g_engine.objects)
    if (o.used && (!best || o.serial > best->serial)) best = &o;
  return best;
}

bool Refused(EngineOp op) {
  uint32_t& n = g_engine.refusals[static_cast<int>(op)];
  if (n == 0) return false;
  --n;
  return true;
}

// The start of every operation on an object: the call is counted, the
// object found, and a refusal (the driver's, or `blocked`) applied. Null,
// with the result to return in *result, when the operation does not go on.
Object* Take(uint32_t handle, EngineOp op, bool blocked, uint32_t* result) {
  ++g_engine.calls;
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

static void PostAnswer(const Answer& a) {
  PLAYBACK_END_ATTACH_T attach{};
  attach.handle = a.handle;
  internal::PostToPort(a.port, a.code, &attach, sizeof(attach));
}

// Takes held answer i out of the list and posts it.
static void LetGo(int i) {
  Answer a = g_engine.held[i];
  for (int k = i + 1; k < g_engine.held_count; ++k) g_engine.held[k - 1] = g_engine.held[k];
  --g_engine.held_count;
  PostAnswer(a);
}

// The engine answers an operation now, or holds the answer back while the
// driver asks it to; an engine that holds more than it can keeps answering
// the oldest.
void Respond(const Object& o, uint32_t code) {
  Answer a{code, o.handle, o.port};
  if (!g_engine.hold) {
    PostAnswer(a);
    return;
  }
  if (g_engine.held_count == kMaxHeld) LetGo(0);
  g_engine.held[g_engine.held_count++] = a;
}

// A deleted object answers nothing more.
void ForgetAnswers(uint32_t handle) {
  int kept = 0;
  for (int i = 0; i < g_engine.held_count; ++i)
    if (g_engine.held[i].handle != handle) g_engine.held[kept++] = g_engine.held[i];
  g_engine.held_count = kept;
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
static void BreakOff(Object& o) {
  uint32_t at = Position(o);
  uint32_t gap = at > o.broke_at ? at - o.broke_at : o.broke_at - at;
  bool again = o.broke_off && gap <= kSamePlaceMs;
  o.broke_off = true;
  o.broke_at = at;
  internal::Emit(Fact::kBreakOff, at, o.name);
  PostEnd(o, again ? MME_END_COMPLETE : kEndInterrupted);
}

static uint32_t BreakOffTime(const Object& o) {
  uint64_t at = static_cast<uint64_t>(o.anchor) + kBreakOffAfterMs;
  return at >= UINT32_MAX ? UINT32_MAX - 1 : static_cast<uint32_t>(at);
}

static char Folded(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// URIs name files of the phone's FAT card: letter case does not matter.
TrackLength* LengthEntry(const char* uri) {
  for (uint32_t i = 0; i < g_engine.lengths.Size(); ++i) {
    const char* a = &g_engine.uris[g_engine.lengths[i].uri_at];
    const char* b = uri;
    for (; *a != '\0' && Folded(*a) == Folded(*b); ++a, ++b) {
    }
    if (*a == *b) return &g_engine.lengths[i];
  }
  return nullptr;
}

// A file the engine cannot decode: one the probe refuses, or without a
// probe an empty one.
bool Undecodable(const char* path, uint32_t* probed) {
  if (g_engine.probe) return !g_engine.probe(path, probed, g_engine.probe_ctx);
  int fd = port::OpenRead(path);
  int64_t size = fd >= 0 ? port::FileSize(fd) : -1;
  port::Close(fd);
  return size <= 0;
}


}  // namespace media

void MediaDeleteAll() {
  for (auto& o : media::g_engine.objects) o.used = false;
  media::g_engine.held_count = 0;
}

}  // namespace sim::fw

namespace sim {

using fw::media::g_engine;

void SetTrackLength(const char* uri_utf8, uint32_t ms) {
  if (!uri_utf8 || fw::TextLength(uri_utf8) >= fw::media::kUriBytes) {
    fw::Report("set_track_length", "refused: URI missing or too long");
    return;
  }
  if (fw::media::TrackLength* known = fw::media::LengthEntry(uri_utf8)) {
    known->ms = ms;
    return;
  }
  uint32_t bytes = static_cast<uint32_t>(fw::TextLength(uri_utf8)) + 1;
  uint32_t uri_at = g_engine.uris.Size();
  char* uri = g_engine.uris.Append(bytes);
  fw::media::TrackLength* entry = uri ? g_engine.lengths.Append(1) : nullptr;
  if (!entry) {
    g_engine.uris.Cut(uri_at);
    fw::Report("set_track_length", "refused: no memory for the table of track lengths");
    return;
  }
  fw::CopyText(uri, bytes, uri_utf8);
  entry->ms = ms;
  entry->uri_at = uri_at;
}

void SetMediaProbe(MediaProbe probe, void* ctx) {
  g_engine.probe = probe;
  g_engine.probe_ctx = ctx;
}

void RefuseEngine(EngineOp op, uint32_t times) {
  if (static_cast<int>(op) < 6) g_engine.refusals[static_cast<int>(op)] = times;
}

bool EndTrack(uint8_t status) {
  fw::media::Object* o = fw::media::Current();
  if (!o) return false;
  fw::media::PostEnd(*o, status);
  RunPending();
  return true;
}

bool BreakOffTrack() {
  fw::media::Object* o = fw::media::Current();
  if (!o) return false;
  fw::media::BreakOff(*o);
  RunPending();
  return true;
}

bool GetPlaybackInfo(PlaybackInfo* out) {
  if (!out) return false;
  fw::ZeroBytes(out, sizeof(*out));
  fw::media::Object* o = fw::media::Current();
  if (!o) return false;
  out->exists = true;
  out->handle = o->handle;
  out->playing = o->playing;
  out->broken = o->broken;
  out->position_ms = fw::media::Position(*o);
  out->length_ms = o->length;
  fw::CopyText(out->host_path, sizeof(out->host_path), o->host_path);
  fw::CopyText(out->name, sizeof(out->name), o->name);
  return true;
}

uint32_t PlaybackObjects() {
  uint32_t n = 0;
  for (const auto& o : g_engine.objects) n += o.used ? 1 : 0;
  return n;
}

void HoldEngineAnswers(bool yes) {
  g_engine.hold = yes;
  if (!yes) {
    while (g_engine.held_count > 0) fw::media::LetGo(0);
    RunPending();
  }
}

bool DeliverEngineAnswer(EngineAnswer which) {
  uint32_t code = which == EngineAnswer::kReady ? EV_PLAYBACK_READY : EV_PLAYBACK_SEEK_DONE;
  for (int i = 0; i < g_engine.held_count; ++i) {
    if (g_engine.held[i].code != code) continue;
    fw::media::LetGo(i);
    RunPending();
    return true;
  }
  return false;
}

uint32_t EngineCalls() {
  return g_engine.calls;
}

void SetEngineEndsTracks(bool yes) {
  g_engine.ends_tracks = yes;
}

namespace internal {

void MediaReset() {
  g_engine.lengths.Release();
  g_engine.uris.Release();
  fw::ZeroBytes(&g_engine, sizeof(g_engine));
  g_engine.ends_tracks = true;
  g_engine.next_handle = fw::media::kFirstHandle;
  g_engine.next_serial = 1;
}

uint32_t MediaNextDeadline() {
  uint32_t best = UINT32_MAX;
  uint32_t now = NowMs();
  for (auto& o : g_engine.objects) {
    if (!o.used || !o.playing) continue;
    if (o.broken) {
      uint32_t at = fw::media::BreakOffTime(o);
      if (at < best) best = at;
      continue;
    }
    if (!g_engine.ends_tracks) continue;
    uint32_t left = o.length - fw::media::Position(o);
    uint64_t at = static_cast<uint64_t>(now) + left;
    if (at < best) best = static_cast<uint32_t>(at);
  }
  return best;
}

void MediaRunUntil(uint32_t now) {
  for (auto& o : g_engine.objects) {
    if (!o.used || !o.playing) continue;
    if (o.broken) {
      if (now >= fw::media::BreakOffTime(o)) fw::media::BreakOff(o);
    } else if (g_engine.ends_tracks && fw::media::Position(o) >= o.length) {
      fw::media::PostEnd(o, MME_END_COMPLETE);
    }
  }
}

void MediaVoiceCallStarted() {
  for (auto& o : g_engine.objects)
    if (o.used && o.playing) fw::media::PostEnd(o, fw::media::kEndInterrupted);
}

}  // namespace internal
}  // namespace sim

