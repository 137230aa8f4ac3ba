// SPDX-License-Identifier: MIT
// The box's division helpers on a big-endian ARM processor (under
// qemu-armeb): "/" and "%" of 32- and 64-bit operands the compiler cannot
// fold call __aeabi_*div*, which must leave quotient and remainder in the
// registers the compiler reads them from. The exit code is the number of
// wrong cases; each is named.
#include "sim/port.h"

namespace {

template <typename T>
struct Case {
  T n, d, q, r;
};

const Case<uint32_t> kU32[] = {
    {100, 7, 14, 2}, {7, 100, 0, 7}, {0xFFFFFFFFu, 16, 0x0FFFFFFFu, 15}, {0x80000000u, 0xFFFFFFFFu, 0, 0x80000000u}};
const Case<int32_t> kS32[] = {{-100, 7, -14, -2}, {100, -7, -14, 2}, {-2147483647 - 1, -2147483647 - 1, 1, 0}};
const Case<uint64_t> kU64[] = {{1000000000000ull, 7, 142857142857ull, 1},
                               {0xFFFFFFFFFFFFFFFFull, 0x100000000ull, 0xFFFFFFFFull, 0xFFFFFFFFull},
                               {0x123456789ull, 0x123456789ull * 3, 0, 0x123456789ull}};
const Case<int64_t> kS64[] = {{-1000000000000ll, 7, -142857142857ll, -1},
                              {1000000000000ll, -0x100000000ll, -232, 1000000000000ll - 232 * 0x100000000ll}};

int wrong = 0;

template <typename T>
void Check(const char* kind, const Case<T>* cases, int count) {
  for (int i = 0; i < count; ++i) {
    volatile T n = cases[i].n, d = cases[i].d;
    T q = n / d, r = n % d;
    if (q == cases[i].q && r == cases[i].r) continue;
    ++wrong;
    sim::port::WriteErr(kind, 3);
    sim::port::WriteErr(" division gave a wrong quotient or remainder\n", 45);
  }
}

}  // namespace

int main() {
  Check("u32", kU32, sizeof kU32 / sizeof kU32[0]);
  Check("s32", kS32, sizeof kS32 / sizeof kS32[0]);
  Check("u64", kU64, sizeof kU64 / sizeof kU64[0]);
  Check("s64", kS64, sizeof kS64 / sizeof kS64[0]);
  return wrong;
}
