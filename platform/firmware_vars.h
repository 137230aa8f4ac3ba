// SPDX-License-Identifier: MIT
// Firmware variables at fixed addresses of the phone's memory. Every build
// reads them there; the stand-in maps memory of its own at these addresses.
#pragma once

#include "platform/types.h"

// The byte after this address is the music status indicator's identifier.
#define ITUNES_STATUS 0x10080111u
// The low 16 bits of the 32-bit word here are the keypad-lock feature id.
#define KEYPAD_STATE 0x10080131u
// The GB2312 table (7614 entries, low byte first) of builds with PATCH.
#define GB2UC_TABLE_ADDRESS 0x10C3E800u
#define GB2UC_TABLE_BYTES 15228u

// Reads the byte at a firmware address.
static inline uint8_t FwReadU8(uint32_t address) {
  return *(volatile const uint8_t*)(uintptr_t)address;
}

// Reads the 32-bit word at a firmware address, in the processor's order.
// The address need not be aligned (the keypad-lock word is not), so the word
// is assembled from its four bytes instead of loaded in one go, which an
// ARMv5 would rotate.
static inline uint32_t FwReadU32(uint32_t address) {
  volatile const uint8_t* p = (volatile const uint8_t*)(uintptr_t)address;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | (uint32_t)p[3];
#else
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
#endif
}
