// SPDX-License-Identifier: MIT
// 16-bit text routines (lengths in units, zero-terminated), 8-bit name
// comparison and the firmware's debug print.
#pragma once

#include "platform/types.h"

ZQ_BEGIN_DECLS

uint32_t u_strlen(const WCHAR* s);
WCHAR* u_strcpy(WCHAR* dst, const WCHAR* src);
WCHAR* u_strcat(WCHAR* dst, const WCHAR* src);
int32_t u_strcmp(const WCHAR* a, const WCHAR* b);                   // 0 when equal
int32_t u_strncmp(const WCHAR* a, const WCHAR* b, uint32_t units);  // 0 when equal
WCHAR* u_strmakeupper(WCHAR* s);                                    // in place
WCHAR* u_ltou(int32_t value, WCHAR* out);                           // decimal text
WCHAR* u_ultou(uint32_t value, WCHAR* out);                         // decimal text
char* u_utoa(const WCHAR* s, char* out);                            // to 8-bit text
int32_t namecmp(const char* a, const char* b);                      // 0 when equal
void PFprintf(const char* format, ...);

ZQ_END_DECLS
