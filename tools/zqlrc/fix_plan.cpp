// SPDX-License-Identifier: MIT
#include "fix_plan.h"

#include "diagnosis.h"
#include "lint.h"
#include "lyrics/encoding.h"
#include "lyrics/record.h"
#include "verdict.h"

namespace zqlrc {

namespace {

constexpr size_t kMaxFileBytes = 65534;
constexpr uint8_t kEncrypted = 5;

FixPlan Refuse(const std::string& why) {
  FixPlan plan;
  plan.what = why;
  return plan;
}

std::string Unreadable(const Reading& r) {
  std::string line = "line " + std::to_string(r.bad_line);
  if (r.source == Source::kUtf8 || r.source == Source::kGb18030) {
    return line + " reads as neither UTF-8 nor GB18030 (--from names its encoding); nothing written";
  }
  return line + " does not read as " + r.encoding + "; nothing written";
}

// What the phone could not take even in the new form.
bool CannotMend(const std::vector<uint8_t>& bytes, const PhoneRun& phone, std::string* why) {
  if (bytes.size() > kMaxFileBytes) {
    *why = std::to_string(bytes.size()) + " bytes after conversion: the phone reads at most " +
           std::to_string(kMaxFileBytes) + "; left as it is";
    return true;
  }
  if (PhoneRun::ParseStatus(bytes) == kEncrypted) {
    *why = "an encrypted lyrics file (a \"[key:\" tag); left as it is";
    return true;
  }
  LintReport lint = Lint(phone.ConvertAsPhone(bytes));
  if (lint.lines_total > LRC_MAX_LINES || lint.times_total > LRC_MAX_TIMES) {
    *why = std::to_string(lint.lines_total) + " timed lines and " + std::to_string(lint.times_total) +
           " time tags: the phone takes at most " + std::to_string(LRC_MAX_LINES) + " and " +
           std::to_string(LRC_MAX_TIMES) + "; left as it is";
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
  if (code != TargetCode(target) || s == Source::kGb18030 || s == Source::kNamed || misread_utf8) {
    parts.push_back(d.reading.encoding + " to " + TargetName(target));
  }
  if (d.mends.word_tags > 0) parts.push_back("removed " + Count(d.mends.word_tags, "word-timing tag"));
  if (!d.mends.wide_lines.empty()) {
    parts.push_back("dropped " + Count(d.mends.wide_lines.size(), "character") + " beyond 16 bits (" +
                    LineList(d.mends.wide_lines) + ")");
  }
  std::string text;
  for (const std::string& p : parts) text += (text.empty() ? "" : ", ") + p;
  return text;
}

}  // namespace

FixPlan PlanFix(const std::vector<uint8_t>& bytes, const FixOptions& options, const PhoneRun& phone) {
  if (bytes.empty()) return Refuse("the file is empty; nothing written");
  int code = PhoneRun::Detect(bytes);
  Diagnosis d;
  Diagnose(bytes, phone.ConvertAsPhone(bytes), options.from, &d);
  if (!d.reading.ok) return Refuse(Unreadable(d.reading));

  FixPlan plan;
  Target target = options.has_target ? options.target : Target::kUtf8;
  bool keep = d.as_written && !d.mends.Any() && (!options.has_target || TargetCode(target) == code);
  if (keep) {
    plan.action = FixAction::kKeep;
    plan.bytes = bytes;
    plan.what = (d.reading.source == Source::kUtf8 ? std::string("ASCII") : d.reading.encoding) +
                ", which the phone reads as written";
  } else {
    Mends mends;
    std::u32string text = MendText(d.reading.text, &mends);
    Encoded encoded = Encode(text, target);
    if (!encoded.ok) {
      return Refuse("line " + std::to_string(LineAt(text, encoded.bad_index)) + ": " + CharName(encoded.bad_char) +
                    " has no " + TargetName(target) + " form; nothing written");
    }
    plan.action = FixAction::kWrite;
    plan.bytes = std::move(encoded.bytes);
    plan.what = Changes(d, code, target);
    // The new text must be one that fix leaves as it is: the phone reads it
    // as written and nothing is left to mend.
    Diagnosis again;
    Diagnose(plan.bytes, phone.ConvertAsPhone(plan.bytes), "", &again);
    if (plan.bytes.size() <= kMaxFileBytes && (!again.as_written || again.mends.Any())) {
      return Refuse("the phone would not read the new text as written (line " + std::to_string(again.differ_line) +
                    "); nothing written");
    }
  }
  std::string why;
  if (CannotMend(plan.bytes, phone, &why)) return Refuse(why);
  // A file the phone loads never becomes one it does not, as when --from
  // names an encoding under which its time tags read otherwise.
  uint8_t status = plan.action == FixAction::kWrite ? PhoneRun::ParseStatus(plan.bytes) : 0;
  if (status != 0 && PhoneRun::ParseStatus(bytes) == 0) {
    return Refuse("the phone loads the file as it is but would not load the new text (status " +
                  std::to_string(status) + ", \"" + PhoneMessage(status) + "\"); nothing written");
  }
  return plan;
}

}  // namespace zqlrc
