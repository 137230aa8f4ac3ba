// SPDX-License-Identifier: MIT
// The stand-in's one door to the operating system. The core reaches files,
// folders, output, memory and program images only through these routines;
// port_posix.cpp implements them for a PC, sim/box/port_box.cpp for the
// big-endian box (raw Linux calls under qemu-armeb), and for the page
// port_posix.cpp's files over Emscripten's in-memory file system with
// sim/web/port_web.cpp for fixed memory and images.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace sim::port {

// Files. A handle is >= 0; -1 means failure.
int OpenRead(const char* path);
int64_t FileSize(int fd);
int64_t Read(int fd, void* buffer, size_t bytes);
bool Seek(int fd, int64_t offset);
void Close(int fd);
bool ExistsFile(const char* path);
// The size of a regular file this process can read, or -1: one look at the
// file where its permissions let everyone read it.
int64_t ReadableFileSize(const char* path);
bool ExistsDir(const char* path);
// Calls `fn` for every entry of a folder (not "." or ".."); false if the
// folder cannot be read.
typedef void (*DirEntryFn)(const char* name, bool is_dir, void* ctx);
bool ListDir(const char* path, DirEntryFn fn, void* ctx);
// A value that changes when the entries of a folder change (its time of
// last change, to the nanosecond the file system keeps); false if `path` is
// not a folder.
bool DirStamp(const char* path, uint64_t* stamp);

// Output for reports.
void WriteOut(const char* text, size_t length);
void WriteErr(const char* text, size_t length);

// Files the front ends write (traces, screenshots): open_write creates the
// file or empties the one there (-1 on failure); write writes every byte or
// returns false; make_dir makes one folder and is true when `path` is a
// folder afterwards (also when it was one before).
int OpenWrite(const char* path);
bool Write(int fd, const void* bytes, size_t length);
bool MakeDir(const char* path);

// Memory at a fixed address (the firmware variables); null on failure.
void* MapFixed(uintptr_t address, size_t bytes);

// Program images. image_open loads a fresh copy of the image file, so that
// every load starts with fresh static state, with its imports resolved from
// the stand-in; on failure it returns null and writes one line naming what
// is wrong into `why`.
void* ImageOpen(const char* path, char* why, size_t why_size);
// Where the loader enters the image: its first byte for a phone image, its
// exported `Lib` for a host shared object; null when there is none.
void* ImageEntry(void* image);
void* ImageSymbol(void* image, const char* name);
void ImageClose(void* image);

}  // namespace sim::port

namespace sim::port {

// Host memory for the blocks the firmware's allocator hands out; null when
// there is none. A port without a heap can serve these from a fixed arena.
void* Allocate(size_t bytes);
void Release(void* block);

}  // namespace sim::port
