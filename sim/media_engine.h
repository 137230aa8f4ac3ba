// SPDX-License-Identifier: MIT
// The media engine's object model, shared by its driver side
// (media_engine.cpp) and its firmware entries (media_services.cpp): the
// playback objects, the answers held back for the driver and the table of
// track lengths.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "sim/driver.h"
#include "sim/port_array.h"

namespace sim::fw::media {

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

extern Engine g_engine;

Object* Find(uint32_t handle);
// The newest object: the one the driver's calls are about.
Object* Current();
// The start of every operation on an object: the call is counted, the
// object found, and a refusal (the driver's, or `blocked`) applied. Null,
// with the result to return in *result, when the operation does not go on.
Object* Take(uint32_t handle, EngineOp op, bool blocked, uint32_t* result);
// True (and one refusal used up) when the driver asked the engine to refuse
// `op`.
bool Refused(EngineOp op);
// The engine answers an operation now, or holds the answer back while the
// driver asks it to.
void Respond(const Object& o, uint32_t code);
// A deleted object answers nothing more.
void ForgetAnswers(uint32_t handle);
// Where a playing object is now (ms).
uint32_t Position(const Object& o);
// The end of playback, to the port the object was created for.
void PostEnd(Object& o, uint8_t status);
// The driver's length for a URI (letter case aside), or null.
TrackLength* LengthEntry(const char* uri);
// A file the engine cannot decode: one the probe refuses, or without a
// probe an empty one.
bool Undecodable(const char* path, uint32_t* probed);

}  // namespace sim::fw::media
