// SPDX-License-Identifier: MIT
// Runtime routines the firmware exports: copying, clearing, division.
#pragma once

#include "platform/types.h"

ZQ_BEGIN_DECLS

void* __rt_memcpy(void* dst, const void* src, uint32_t n);
void* __rt_memcpy_w(void* dst, const void* src, uint32_t n);  // word-aligned copy
void __rt_memclr(void* dst, uint32_t n);
uint32_t __rt_udiv(uint32_t divisor, uint32_t dividend);  // dividend / divisor
uint32_t __rt_udiv10(uint32_t value);
int32_t __rt_sdiv10(int32_t value);

ZQ_END_DECLS
