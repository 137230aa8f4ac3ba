// SPDX-License-Identifier: MIT
// Basic types shared by the program and the firmware.
//
// Text is an array of 16-bit code units in the processor's own byte order
// (big-endian on the phone), ended by a zero unit. Handles are 32-bit values
// that the firmware hands out and takes back; the program never looks inside.
#pragma once

#include <stdint.h>

typedef char16_t WCHAR;          // one unit of 16-bit text
typedef uint16_t FILE_HANDLE_T;  // an open file; 0xFFFF means "could not open"

#define FS_INVALID_HANDLE 0xFFFFu

#ifdef __cplusplus
#define ZQ_EXTERN_C extern "C"
#define ZQ_BEGIN_DECLS extern "C" {
#define ZQ_END_DECLS }
#else
#define ZQ_EXTERN_C
#define ZQ_BEGIN_DECLS
#define ZQ_END_DECLS
#endif

// The phone is a 32-bit machine: firmware layouts that hold a pointer keep a
// 32-bit word there. The host build keeps the same offset with a host-sized
// pointer, so the checks of exact sizes apply to the phone build only.
#if defined(__arm__) || defined(ZQ_PHONE)
#define ZQ_PHONE_LAYOUT 1
#else
#define ZQ_PHONE_LAYOUT 0
#endif
