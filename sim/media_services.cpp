// SPDX-License-Identifier: MIT
// The media engine's firmware entries: the playback calls of the program on
// the objects of media_engine.cpp.
#include "platform/media.h"
#include "sim/file_log.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"
#include "sim/media_engine.h"
#include "sim/port.h"

using namespace sim::fw;
using namespace sim::fw::media;
using sim::EngineOp;
using sim::Fact;

ZQ_EXTERN_C uint32_t MME_GC_playback_create(uint32_t* port_block, const WCHAR* uri, uint32_t, uint32_t, uint32_t,
                                            uint32_t, uint32_t, uint32_t) {
  ++g_engine.calls;
  if (!port_block || !uri || Refused(EngineOp::kCreate)) return 0;
  char path[512];
  if (!sim::HostPath(uri, path, sizeof(path)) || !sim::port::ExistsFile(path)) return 0;
  uint32_t probed = 0;
  bool broken = Undecodable(path, &probed);
  Object* o = nullptr;
  for (auto& slot : g_engine.objects)
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
  o->handle = g_engine.next_handle++;
  o->serial = g_engine.next_serial++;
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
  Object* o = Take(handle, EngineOp::kPause, false, &refusal);
  if (!o) return refusal;
  o->position = Position(*o);
  o->playing = false;
  sim::internal::Emit(Fact::kEnginePause, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_stop(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::kStop, false, &refusal);
  if (!o) return refusal;
  o->position = 0;
  o->playing = false;
  sim::internal::Emit(Fact::kEngineStop, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_delete(uint32_t handle) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::kDelete, false, &refusal);
  if (!o) return refusal;
  o->used = false;
  ForgetAnswers(o->handle);
  sim::internal::Emit(Fact::kEngineDelete, 0, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_seek(uint32_t handle, uint32_t position_ms) {
  uint32_t refusal = 0;
  Object* o = Take(handle, EngineOp::kSeek, false, &refusal);
  if (!o) return refusal;
  o->position = position_ms > o->length ? o->length : position_ms;
  o->anchor = sim::NowMs();
  sim::internal::Emit(Fact::kEngineSeek, position_ms, nullptr);
  Respond(*o, EV_PLAYBACK_SEEK_DONE);
  return 0;
}

ZQ_EXTERN_C uint32_t MME_GC_playback_get_attribute(uint32_t handle, uint32_t attribute, uint32_t* value) {
  ++g_engine.calls;
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
