// SPDX-License-Identifier: MIT
// Where the box program begins: the kernel (here qemu-armeb) enters _start
// with the argument count and the argument pointers on the stack. There is no
// C library to do this part, so the box does it: align the stack, run the
// constructors the program may have, call main, and leave with its result.
#include <stdint.h>

#include "sim/box/linux_calls.h"

int main(int argc, char** argv);

extern "C" {

typedef void (*Constructor)();
extern Constructor __init_array_start[] __attribute__((visibility("hidden")));
extern Constructor __init_array_end[] __attribute__((visibility("hidden")));

[[noreturn]] void BoxStart(uint32_t* stack) {
  for (Constructor* c = __init_array_start; c != __init_array_end; ++c) (*c)();
  int argc = (int)stack[0];
  char** argv = (char**)(stack + 1);
  box::sys::ExitGroup(main(argc, argv));
}

// The stack pointer as the kernel left it goes to BoxStart; calls need it
// 8-byte aligned.
__attribute__((naked, noreturn)) void _start() {
  asm volatile(
      "mov r0, sp\n"
      "bic sp, sp, #7\n"
      "mov fp, #0\n"
      "mov lr, #0\n"
      "b BoxStart\n");
}

}  // extern "C"
