// SPDX-License-Identifier: MIT
// Fuzz target of zqlrc fix: a lyrics file of any bytes, read by the rules or
// as a named encoding, written in any target encoding, lines that share their
// times joined or not. What fix writes must load on the phone whenever the
// file it came from did, fixing it again must leave it as it is, and check on
// it must report nothing that fix mends; a file fix keeps as one the phone
// reads as written is one check passes.
#include <string>
#include <vector>

#include "fix_plan.h"
#include "fuzz/harness.h"
#include "phone_run.h"
#include "verdict.h"

namespace {

using fuzz::Require;

zqlrc::PhoneRun* g_phone;

// The first byte of an input chooses the options, the rest is the file.
zqlrc::FixOptions Options(uint8_t choice) {
  static const char* const kFrom[] = {"", "utf8", "utf16le", "utf16be", "gb2312", "GB18030", "ISO-8859-1", "BIG5"};
  zqlrc::FixOptions options;
  options.from = kFrom[choice & 7];
  uint8_t target = (choice >> 3) & 7;
  options.has_target = target >= 1 && target <= 4;
  if (options.has_target) options.target = (zqlrc::Target)(target - 1);
  options.mend.join_same_time = (choice & 0x40) != 0;
  return options;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_phone = new zqlrc::PhoneRun;
  std::string error;
  Require(g_phone->SetTable({ZQ_GB2UC_MAP, false}, &error), "no GB2312 table for the phone run");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Reader input(data, size);
  zqlrc::FixOptions options = Options(input.Byte());
  std::string rest = input.Rest();
  std::vector<uint8_t> bytes(rest.begin(), rest.end());
  fuzz::MemoryBooks books;

  zqlrc::FixPlan plan = zqlrc::PlanFix(bytes, options, *g_phone);
  Require(!plan.what.empty(), "fix says nothing of a file");
  // check reads a file as the phone does; with --from the person names the
  // encoding instead, so fix may keep what check would convert.
  if (plan.action == zqlrc::FixAction::kKeep && !options.from.empty()) {
    Require(plan.bytes == bytes, "fix keeps a file but changes it");
  } else if (plan.action == zqlrc::FixAction::kKeep) {
    Require(plan.bytes == bytes, "fix keeps a file but changes it");
    zqlrc::Verdict check = zqlrc::JudgeBytes(bytes, *g_phone, options.mend);
    bool as_written = plan.what.find(", which the phone reads as written") != std::string::npos;
    bool limits = plan.what.find("as far as its limits allow") != std::string::npos;
    if (as_written && !limits) Require(check.as_written, "fix calls a file read as written that check fails");
    for (const zqlrc::Problem& p : check.problems) Require(!p.fix_mends, "fix keeps a file in which check finds mends");
  }
  if (plan.action == zqlrc::FixAction::kWrite) {
    if (zqlrc::PhoneRun::ParseStatus(bytes) == 0)
      Require(zqlrc::PhoneRun::ParseStatus(plan.bytes) == 0, "fix made a file that loads into one that does not");
    // Fixing the new file again, as it now is, in the same target.
    zqlrc::FixOptions again = options;
    again.from.clear();
    zqlrc::FixPlan second = zqlrc::PlanFix(plan.bytes, again, *g_phone);
    Require(second.action == zqlrc::FixAction::kKeep, "fixing the fixed file again changes it");
    zqlrc::Verdict check = zqlrc::JudgeBytes(plan.bytes, *g_phone, options.mend);
    for (const zqlrc::Problem& p : check.problems) {
      Require(!p.fix_mends, "check on the file fix wrote reports something fix mends");
    }
  }
  books.RequireBalanced();
  return 0;
}
