// SPDX-License-Identifier: MIT
#include "verdict.h"

#include <set>

#include "app/player_state.h"
#include "lint.h"
#include "lyrics/encoding.h"
#include "readable_text.h"
#include "screen/lyrics_messages.h"

namespace zqlrc {

namespace {

constexpr size_t kMaxFileBytes = 65534;

std::string Line(uint32_t line) {
  return "line " + std::to_string(line) + ": ";
}

// The reading of the text against the phone's: garbage, word-timing tags,
// characters beyond 16 bits.
void TextProblems(const LoadOutcome& outcome, const Diagnosis& d, std::vector<Problem>* problems) {
  const Reading& r = d.reading;
  if (outcome.encoding < kCodeGB2312) return;  // empty, too long or no text: told already
  if (!r.ok) {
    std::string what = !r.unsure.empty()
                           ? "has no mark, is not UTF-8 and its encoding is not clear (likely " + r.unsure + ")"
                       : outcome.encoding == kCodeGB2312 ? "reads as neither UTF-8 nor GB18030"
                                                         : "does not read as " + r.encoding;
    problems->push_back({(r.unsure.empty() ? Line(r.bad_line) : std::string()) + "the text " + what +
                             ": the phone shows garbage there (zqlrc fix --from ENCODING reads it as you say)",
                         false});
    return;
  }
  if (!r.lookalike.empty() && outcome.encoding == kCodeGB2312) {
    problems->push_back({"the text reads as GB2312, as the phone reads it, but looks like " + r.lookalike +
                             ": if it is, zqlrc fix --from " + r.lookalike + " converts it",
                         false});
  }
  if (!d.as_written && outcome.encoding == kCodeGB2312) {
    std::string cause = r.source == Source::kUtf8 ? "the text is UTF-8 without its byte-order mark"
                        : d.differ_char != 0      ? CharName(d.differ_char) + " is not GB2312 (" + r.encoding + ")"
                                                  : "the phone's reading runs on past the text";
    problems->push_back(
        {Line(d.differ_line) + "the phone reads the file as GB2312 and will show garbage: " + cause, true});
  } else if (!d.as_written && d.mends.wide_lines.empty()) {
    problems->push_back(
        {Line(d.differ_line) + "the phone's text differs from the file's here; fix cannot tell which is meant", false});
  }
  if (d.mends.word_tags > 0) {
    problems->push_back({Line(d.mends.word_tag_line) + Count(d.mends.word_tags, "word-timing tag") +
                             " (<mm:ss.xx> inside a line) in the file show as text",
                         true});
  }
  if (!d.mends.wide_lines.empty()) {
    problems->push_back({LineList(d.mends.wide_lines) + ": " + Count(d.mends.wide_lines.size(), "character") +
                             " beyond 16 bits (emoji) that the phone cannot show",
                         true});
  }
  for (const TextFinding& f : d.mends.findings) problems->push_back({Line(f.line) + f.text, f.mended});
}

// The phone's limits and what its own reading finds; the form of a time tag
// only where zqlrc's reading of the text has not told of that line.
void LintProblems(const std::u16string& units, const Diagnosis& d, Verdict* v) {
  std::set<uint32_t> told;
  if (d.reading.ok) {
    for (const TextFinding& f : d.mends.findings) told.insert(f.line);
  }
  LintReport lint = Lint(units);
  v->limit_note = LimitNote(lint);
  if (!v->limit_note.empty()) {
    v->problems.push_back({"the phone keeps " + std::to_string(lint.lines_kept) + " of " +
                               std::to_string(lint.lines_total) + " lines and " + std::to_string(lint.times_kept) +
                               " of " + std::to_string(lint.times_total) + " time tags, up to " +
                               Clock(lint.last_kept_ms) + ": " + v->limit_note,
                           false, true});
  }
  for (const Finding& f : lint.findings) {
    if (!(f.time_form && told.count(f.line) != 0)) v->problems.push_back({Line(f.line) + f.text, false});
  }
}

}  // namespace

std::string PhoneMessage(uint8_t status) {
  const char16_t* message = screen::LyricsStatusMessage(status);
  return Readable(message, std::char_traits<char16_t>::length(message));
}

Verdict Judge(const LoadOutcome& outcome, const std::u16string& units, const Diagnosis& diagnosis) {
  Verdict v;
  std::vector<Problem>& problems = v.problems;
  const std::vector<uint8_t>& bytes = outcome.bytes;
  if (bytes.empty()) problems.push_back({"the file is empty", false});
  if (bytes.size() > kMaxFileBytes) {
    problems.push_back({"the file has " + std::to_string(bytes.size()) + " bytes: the phone reads at most " +
                            std::to_string(kMaxFileBytes),
                        false});
  }
  if (outcome.encoding == kCodeNoText) {
    problems.push_back({"the file starts with two zero bytes: the phone finds no text in it", false});
  }
  if (outcome.encoding == kCodeGB2312 && outcome.status == kLrcErrFile && units.empty()) {
    problems.push_back({"the GB2312 table could not be read: the phone cannot convert GB2312 files", false});
  }
  TextProblems(outcome, diagnosis, &problems);
  LintProblems(units, diagnosis, &v);
  v.shows = outcome.status == kLrcLoaded && outcome.lrc != nullptr && outcome.lrc->line_count > 0;
  if (outcome.status == kLrcLoaded && outcome.lrc != nullptr && outcome.lrc->line_count == 0) {
    problems.push_back({"no timed lines: the phone shows the tags only", false});
  }
  v.as_written = v.shows && problems.empty();
  return v;
}

}  // namespace zqlrc

namespace zqlrc {

Verdict JudgeBytes(const std::vector<uint8_t>& bytes, const PhoneRun& phone, const MendOptions& options) {
  LoadOutcome outcome = PhoneRun::Outcome(bytes);
  std::u16string units = phone.ConvertAsPhone(bytes);
  Diagnosis d;
  Diagnose(bytes, units, "", &d, options);
  Verdict v = Judge(outcome, units, d);
  DESTROY_LRC(&outcome.lrc);
  return v;
}

}  // namespace zqlrc
