// SPDX-License-Identifier: MIT
// The file-system faults a driver asked for (sim::set_fs_fault), as the file
// and folder services meet them. With no fault set every hook answers at once
// that nothing is to be done.
#pragma once

#include <stdint.h>

#include "platform/types.h"

namespace sim::fs {

// What a failing file or search call returns.
constexpr uint32_t kFaultStatus = 0x0E;

// Whether a file opened at this URI is one the fault applies to.
bool FaultOnFile(const WCHAR* uri);
// True when opening this URI is to fail.
bool FaultFailsOpen(const WCHAR* uri);
// The size a file reports: its own, or the faulty one.
uint64_t FaultSize(bool faulty, uint64_t size);
// Cuts a read of `*bytes` from a faulty file to what the fault delivers; true
// when the read is then to fail.
bool FaultCutsRead(bool faulty, uint64_t* bytes);
// True when a folder search of this text is to fail at its start.
bool FaultFailsSearch(const WCHAR* text);
// True when result `index` of a search is withheld; `*status` is then what
// the call returns (nothing is delivered either way).
bool FaultWithholdsResult(uint16_t index, uint32_t* status);
void FaultsReset();

}  // namespace sim::fs
