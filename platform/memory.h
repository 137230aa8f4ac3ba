// SPDX-License-Identifier: MIT
// Memory: the firmware's allocator. Blocks are not cleared.
#pragma once

#include "platform/types.h"

ZQ_BEGIN_DECLS

void* suAllocMem(uint32_t size, int32_t* error);  // null when no memory
void suFreeMem(void* block);

ZQ_END_DECLS
