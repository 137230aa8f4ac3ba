// The stand-in's one door to the operating system. The core reaches files,
// folders, output and fixed memory only through these routines; port_posix.cpp
// implements them for a PC, and a port for the big-endian box can replace it.
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

// Memory at a fixed address (the firmware variables); null on failure.
void* map_fixed(uintptr_t address, size_t bytes);

// Program images (host shared objects).
void* image_open(const char* path);
void* image_symbol(void* image, const char* name);
void image_close(void* image);
// A fresh copy of an image file, so that every load gets fresh static state.
bool image_copy_to_temp(const char* path, char* out_path, size_t out_size);
void remove_file(const char* path);

}  // namespace sim::port

namespace sim::port {

// Host memory for the blocks the firmware's allocator hands out; null when
// there is none. A port without a heap can serve these from a fixed arena.
void* allocate(size_t bytes);
void release(void* block);

}  // namespace sim::port
