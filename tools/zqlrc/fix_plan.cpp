// SPDX-License-Identifier: MIT
#include "fix_plan.h"

#include "app/player_state.h"
#include "diagnosis.h"
#include "lint.h"
#include "lyrics/encoding.h"
#include "lyrics/record.h"
#include "verdict.h"

namespace zqlrc {

namespace {

constexpr size_t kMaxFileBytes = 65534;
constexpr uint8_t kEncrypted = 5;

FixPlan Refuse(const std::string& reason, const std::string& why) {
  FixPlan plan;
  plan.reason = reason;
  plan.what = why;
  return plan;
}

FixPlan Unreadable(const Reading& r) {
  if (!r.unsure.empty()) {
    return Refuse("encoding not clear", "no mark, not UTF-8 nor GB2312, and the encoding is not clear: likely " +
                                            r.unsure + " (--from names it); nothing written");
  }
  std::string line = "line " + std::to_string(r.bad_line);
  if (r.source == Source::kUtf8 || r.source == Source::kGuessed || r.source == Source::kGb2312) {
    return Refuse("unreadable",
                  line + " reads as neither UTF-8 nor GB18030 (--from names its encoding); nothing written");
  }
  return Refuse("unreadable", line + " does not read as " + r.encoding + "; nothing written");
}

// What the phone could not take even in the new form.
bool CannotMend(const std::vector<uint8_t>& bytes, FixPlan* refusal) {
  if (bytes.size() > kMaxFileBytes) {
    *refusal = Refuse("too long", std::to_string(bytes.size()) + " bytes after conversion: the phone reads at most " +
                                      std::to_string(kMaxFileBytes) + "; left as it is");
    return true;
  }
  if (PhoneRun::ParseStatus(bytes) == kEncrypted) {
    *refusal = Refuse("encrypted", "an encrypted lyrics file (a \"[key:\" tag); left as it is");
    return true;
  }
  return false;
}

std::string Changes(const Diagnosis& d, int code, Target target) {
  std::vector<std::string> parts;
  Source s = d.reading.source;
  // UTF-8 without its mark that the phone misreads is converted also when
  // written as GB2312, the encoding the phone takes it for.
  bool misread_utf8 = s == Source::kUtf8 && !d.as_written;
  if (code != TargetCode(target) || s == Source::kGuessed || s == Source::kNamed || misread_utf8) {
    parts.push_back(d.reading.encoding + " to " + TargetName(target));
  }
  for (const std::string& change : d.mends.Changes()) parts.push_back(change);
  std::string text;
  for (const std::string& p : parts) text += (text.empty() ? "" : ", ") + p;
  return text;
}

// What stays after fix, from the judgement of the bytes it leaves: the
// phone's limits, and problems fix cannot mend.
void Leftovers(const Verdict& v, FixPlan* plan) {
  if (!v.limit_note.empty()) plan->what += "; " + v.limit_note;
  std::vector<const Problem*> left;
  for (const Problem& p : v.problems)
    if (!p.limit) left.push_back(&p);
  if (left.empty()) return;
  plan->left = true;
  plan->what +=
      std::string(plan->action == FixAction::kWrite ? "; not mended, as the new text has it: " : "; not mended: ") +
      left[0]->text;
  if (left.size() > 1) plan->what += " (and " + Count(left.size() - 1, "more problem") + ")";
}

// The file needs no change: it stays, and the line says what the phone makes of it.
FixPlan Keep(const std::vector<uint8_t>& bytes, const Diagnosis& d, const FixOptions& options, const PhoneRun& phone) {
  FixPlan plan;
  plan.action = FixAction::kKeep;
  plan.bytes = bytes;
  std::string encoding = d.reading.source == Source::kUtf8 ? std::string("ASCII") : d.reading.encoding;
  Verdict v = JudgeBytes(bytes, phone, options.mend);
  bool limits_only = true;
  for (const Problem& p : v.problems) limits_only = limits_only && p.limit;
  if (v.problems.empty()) {
    plan.what = encoding + ", which the phone reads as written";
  } else if (limits_only) {
    plan.what = encoding + ", which the phone reads as written as far as its limits allow";
  } else {
    plan.what = encoding;
  }
  Leftovers(v, &plan);
  return plan;
}

}  // namespace

FixPlan PlanFix(const std::vector<uint8_t>& bytes, const FixOptions& options, const PhoneRun& phone) {
  if (bytes.empty()) return Refuse("empty", "the file is empty; nothing written");
  int code = PhoneRun::Detect(bytes);
  Diagnosis d;
  Diagnose(bytes, phone.ConvertAsPhone(bytes), options.from, &d, options.mend);
  if (!d.reading.ok) return Unreadable(d.reading);
  if (PhoneRun::ParseStatus(bytes) == kEncrypted) {
    return Refuse("encrypted", "an encrypted lyrics file (a \"[key:\" tag); left as it is");
  }

  Target target = options.has_target ? options.target : Target::kUtf8;
  if (d.as_written && !d.mends.Any() && (!options.has_target || TargetCode(target) == code)) {
    return Keep(bytes, d, options, phone);
  }
  Mends mends;
  std::u32string text = MendText(d.reading.text, &mends, options.mend);
  Encoded encoded = Encode(text, target);
  if (!encoded.ok) {
    return Refuse("no " + std::string(TargetName(target)) + " form",
                  "line " + std::to_string(LineAt(text, encoded.bad_index)) + ": " + CharName(encoded.bad_char) +
                      " has no " + TargetName(target) + " form; nothing written");
  }
  FixPlan plan;
  plan.action = FixAction::kWrite;
  plan.bytes = std::move(encoded.bytes);
  plan.what = Changes(d, code, target);
  FixPlan refusal;
  if (CannotMend(plan.bytes, &refusal)) return refusal;
  // The new text must be one that fix leaves as it is: the phone reads it
  // as written and nothing is left to mend.
  Diagnosis again;
  Diagnose(plan.bytes, phone.ConvertAsPhone(plan.bytes), "", &again, options.mend);
  if (!again.as_written || again.mends.Any()) {
    return Refuse("not as written", "the phone would not read the new text as written (line " +
                                        std::to_string(again.differ_line) + "); nothing written");
  }
  // A file the phone loads never becomes one it does not, as when --from
  // names an encoding under which its time tags read otherwise.
  uint8_t status = PhoneRun::ParseStatus(plan.bytes);
  if (status != kLrcLoaded && PhoneRun::ParseStatus(bytes) == kLrcLoaded) {
    return Refuse("would not load", "the phone loads the file as it is but would not load the new text (status " +
                                        std::to_string(status) + ", \"" + PhoneMessage(status) +
                                        "\"); nothing written");
  }
  Leftovers(JudgeBytes(plan.bytes, phone, options.mend), &plan);
  return plan;
}

}  // namespace zqlrc
