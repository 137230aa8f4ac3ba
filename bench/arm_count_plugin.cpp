// SPDX-License-Identifier: MIT
// A qemu TCG plugin that counts the instructions a box program executes,
// split into those of the loaded phone image and those of the box program
// itself (the stand-in), and writes both counts at marks the program sets:
//
//   qemu-armeb -cpu arm926 -plugin libarm_count_plugin.so,out=FILE PROGRAM ...
//
// The program sets a mark with a system call of its own number (kMarkCall,
// which the kernel does not know and qemu answers with ENOSYS): argument 1
// says what the mark is, kProgramRange (arguments 2 and 3 the start and bytes
// of the program's own code, the stand-in's: every block outside it is the
// loaded image's) or kWriteCounts (argument 2 a tag). Every mark of the second
// kind writes "mark TAG IMAGE STAND-IN" with the counts since the program
// began. Each translated block adds its instruction count to the counter of
// the code it starts in when it runs: the same program and input give the
// same counts.
//
// Debian's qemu-user runs plugins but ships no header for them; the few
// declarations below follow qemu's plugin API documentation (API version 1,
// qemu 7.2, whose loader refuses a plugin of a later version).
#include <stdint.h>
#include <stdio.h>
#include <string.h>

extern "C" {

typedef uint64_t qemu_plugin_id_t;
struct qemu_info_t;
struct qemu_plugin_tb;
enum qemu_plugin_op { QEMU_PLUGIN_INLINE_ADD_U64 };

typedef void (*qemu_plugin_vcpu_tb_trans_cb_t)(qemu_plugin_id_t id, struct qemu_plugin_tb* tb);
typedef void (*qemu_plugin_vcpu_syscall_cb_t)(qemu_plugin_id_t id, unsigned int vcpu_index, int64_t num, uint64_t a1,
                                              uint64_t a2, uint64_t a3, uint64_t a4, uint64_t a5, uint64_t a6,
                                              uint64_t a7, uint64_t a8);
typedef void (*qemu_plugin_udata_cb_t)(qemu_plugin_id_t id, void* userdata);

void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_tb_trans_cb_t cb);
void qemu_plugin_register_vcpu_tb_exec_inline(struct qemu_plugin_tb* tb, enum qemu_plugin_op op, void* ptr,
                                              uint64_t imm);
void qemu_plugin_register_vcpu_syscall_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_syscall_cb_t cb);
void qemu_plugin_register_atexit_cb(qemu_plugin_id_t id, qemu_plugin_udata_cb_t cb, void* userdata);
size_t qemu_plugin_tb_n_insns(const struct qemu_plugin_tb* tb);
uint64_t qemu_plugin_tb_vaddr(const struct qemu_plugin_tb* tb);
void qemu_plugin_outs(const char* string);

__attribute__((visibility("default"))) extern const int qemu_plugin_version;
__attribute__((visibility("default"))) int qemu_plugin_install(qemu_plugin_id_t id, const struct qemu_info_t* info,
                                                               int argc, char** argv);
}

// The mark's system call number and kinds, as bench/box_cost_probe.cpp sets
// them.
constexpr int64_t kMarkCall = 0x7A51;
constexpr uint64_t kProgramRange = 1, kWriteCounts = 2;

extern "C" const int qemu_plugin_version = 1;

namespace {

struct Counts {
  uint64_t image;
  uint64_t stand_in;
};

Counts g_counts;
// Until the program says where its code lies, all of it is the stand-in's.
uint64_t g_program_start = 0, g_program_end = UINT64_MAX;
FILE* g_out;

void Translated(qemu_plugin_id_t, struct qemu_plugin_tb* tb) {
  uint64_t at = qemu_plugin_tb_vaddr(tb);
  uint64_t* counter = at >= g_program_start && at < g_program_end ? &g_counts.stand_in : &g_counts.image;
  qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, counter, qemu_plugin_tb_n_insns(tb));
}

void SystemCall(qemu_plugin_id_t, unsigned int, int64_t num, uint64_t kind, uint64_t a2, uint64_t a3, uint64_t,
                uint64_t, uint64_t, uint64_t, uint64_t) {
  if (num != kMarkCall) return;
  if (kind == kProgramRange) {
    g_program_start = a2;
    g_program_end = a2 + a3;
  } else if (kind == kWriteCounts) {
    fprintf(g_out, "mark %llu %llu %llu\n", (unsigned long long)a2, (unsigned long long)g_counts.image,
            (unsigned long long)g_counts.stand_in);
  }
}

void AtExit(qemu_plugin_id_t, void*) {
  fprintf(g_out, "end %llu %llu\n", (unsigned long long)g_counts.image, (unsigned long long)g_counts.stand_in);
  if (g_out != stderr) fclose(g_out);
}

}  // namespace

int qemu_plugin_install(qemu_plugin_id_t id, const struct qemu_info_t*, int argc, char** argv) {
  g_out = stderr;
  for (int i = 0; i < argc; ++i) {
    const char* arg = strncmp(argv[i], "arg=", 4) == 0 ? argv[i] + 4 : argv[i];
    if (strncmp(arg, "out=", 4) == 0) g_out = fopen(arg + 4, "w");
    if (g_out == nullptr) {
      qemu_plugin_outs("arm_count_plugin: cannot write the counts file\n");
      return -1;
    }
  }
  qemu_plugin_register_vcpu_tb_trans_cb(id, Translated);
  qemu_plugin_register_vcpu_syscall_cb(id, SystemCall);
  qemu_plugin_register_atexit_cb(id, AtExit, nullptr);
  return 0;
}
