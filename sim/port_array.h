// SPDX-License-Identifier: MIT
// An array that grows as it is filled, in memory from the port: for the
// stand-in's lists whose length nothing on the phone fixes (folder search
// results, track lengths). Items are plain data, moved as bytes when the
// array grows. All-zero bytes are an empty array, so that it can live in the
// stand-in's static state; release() gives the memory back.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "sim/port.h"

namespace sim {

template <typename T>
class PortArray {
 public:
  uint32_t Size() const { return size_; }
  T& operator[](uint32_t i) { return items_[i]; }
  const T& operator[](uint32_t i) const { return items_[i]; }
  // The items, or null while the array is empty.
  T* Data() { return items_; }

  // Room for `n` more items at the end, or null (and nothing changed) when
  // there is no memory for them.
  T* Append(uint32_t n) {
    if (n > UINT32_MAX - size_) return nullptr;
    if (size_ + n > capacity_ && !Grow(size_ + n)) return nullptr;
    T* at = items_ + size_;
    size_ += n;
    return at;
  }
  // Keeps the first `n` items.
  void Cut(uint32_t n) {
    if (n < size_) size_ = n;
  }
  void Release() {
    if (items_ != nullptr) port::Release(items_);
    items_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  bool Grow(uint32_t wanted) {
    uint64_t capacity = capacity_ != 0 ? capacity_ : 16;
    while (capacity < wanted) capacity *= 2;
    if (capacity > UINT32_MAX) capacity = UINT32_MAX;
    if (capacity > SIZE_MAX / sizeof(T)) return false;
    T* grown = static_cast<T*>(port::Allocate(static_cast<size_t>(capacity) * sizeof(T)));
    if (grown == nullptr) return false;
    const unsigned char* from = reinterpret_cast<const unsigned char*>(items_);
    unsigned char* to = reinterpret_cast<unsigned char*>(grown);
    for (size_t i = 0; i < static_cast<size_t>(size_) * sizeof(T); ++i) to[i] = from[i];
    if (items_ != nullptr) port::Release(items_);
    items_ = grown;
    capacity_ = static_cast<uint32_t>(capacity);
    return true;
  }

  T* items_;
  uint32_t size_;
  uint32_t capacity_;
};

}  // namespace sim
