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
int open_read(const char* path);
int64_t file_size(int fd);
int64_t read(int fd, void* buffer, size_t bytes);
bool seek(int fd, int64_t offset);
void close(int fd);
bool exists_file(const char* path);
bool exists_dir(const char* path);
// Calls `fn` for every entry of a folder (not "." or ".."); false if the
// folder cannot be read.
typedef void (*DirEntryFn)(const char* name, bool is_dir, void* ctx);
bool list_dir(const char* path, DirEntryFn fn, void* ctx);

// Output for reports.
void write_out(const char* text, size_t length);
void write_err(const char* text, size_t length);

// Files the front ends write (traces, screenshots): open_write creates the
// file or empties the one there (-1 on failure); write writes every byte or
// returns false; make_dir makes one folder and is true when `path` is a
// folder afterwards (also when it was one before).
int open_write(const char* path);
bool write(int fd, const void* bytes, size_t length);
bool make_dir(const char* path);

// Memory at a fixed address (the firmware variables); null on failure.
void* map_fixed(uintptr_t address, size_t bytes);

// Program images. image_open loads a fresh copy of the image file, so that
// every load starts with fresh static state, with its imports resolved from
// the stand-in; on failure it returns null and writes one line naming what
// is wrong into `why`.
void* image_open(const char* path, char* why, size_t why_size);
// Where the loader enters the image: its first byte for a phone image, its
// exported `Lib` for a host shared object; null when there is none.
void* image_entry(void* image);
void* image_symbol(void* image, const char* name);
void image_close(void* image);

}  // namespace sim::port

namespace sim::port {

// Host memory for the blocks the firmware's allocator hands out; null when
// there is none. A port without a heap can serve these from a fixed arena.
void* allocate(size_t bytes);
void release(void* block);

}  // namespace sim::port
