// SPDX-License-Identifier: MIT
// Fuzz target of the key-script reader that zqsim --headless and the box run:
// a script of any bytes is either refused, naming a line that holds a step,
// in one printable line, with the script read before kept whole; or read
// into one step for every line that holds one, each saying what its line
// says (the words read again here, numbers by their value) and within the
// bounds the runner relies on. The sanitizers see any read past the text
// (the input lies in a block of exactly its size) and any block not given
// back.
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive/key_script.h"
#include "fuzz/harness.h"

namespace {

using fuzz::Require;
using K = drive::Step::Kind;

// The words of each line as the reader splits them: up to a "#", between
// spaces, tabs, carriage returns, vertical tabs and form feeds.
std::vector<std::vector<std::string>> Lines(const uint8_t* data, size_t size) {
  std::vector<std::vector<std::string>> lines(1);
  bool comment = false;
  std::string* word = nullptr;
  for (size_t i = 0; i < size; ++i) {
    char c = (char)data[i];
    if (c == '\n') {
      lines.emplace_back();
      comment = false;
      word = nullptr;
    } else if (comment || c == '#' || (c != '\0' && strchr(" \t\r\v\f", c) != nullptr)) {
      comment = comment || c == '#';
      word = nullptr;
    } else {
      if (word == nullptr) word = &lines.back().emplace_back();
      word->push_back(c);
    }
  }
  // A final line feed ends the last line; it starts none.
  if (size > 0 && data[size - 1] == '\n') lines.pop_back();
  return lines;
}

// The value of a number word: decimal digits, or hexadecimal ones behind
// "0x"; -1 for any other word. Values past 2^40 stay there, far beyond any
// limit of the reader.
int64_t Number(const std::string& w) {
  bool hex = w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X');
  std::string digits = hex ? w.substr(2) : w;
  if (digits.empty()) return -1;
  int64_t value = 0;
  for (char c : digits) {
    int d = c >= '0' && c <= '9'          ? c - '0'
            : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
            : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                          : -1;
    if (d < 0) return -1;
    value = std::min(value * (hex ? 16 : 10) + d, (int64_t)1 << 40);
  }
  return value;
}

// True when `step` is what the words of its line say.
bool Says(const drive::Step& s, const std::vector<std::string>& w) {
  static const char* const kNames[] = {"wait",  "press", "release", "tap", "hold", "lock", "call",
                                       "front", "shot",  "end",     "key", "",     "",     "fail"};
  size_t n = w.size();
  if ((size_t)s.kind >= std::size(kNames) || n == 0 || w[0] != kNames[(size_t)s.kind]) return false;
  switch (s.kind) {
    case K::kWait:
      return n == 2 && Number(w[1]) == s.ms;
    case K::kPress:
    case K::kRelease:
    case K::kTap:
      return n == 2 && Number(w[1]) == s.key;
    case K::kHold:
      return n == 3 && Number(w[1]) == s.key && Number(w[2]) == s.ms;
    case K::kLock:
    case K::kCall:
      return n == 2 && w[1] == (s.on ? "on" : "off");
    case K::kFront:
      return n == 2 && w[1] == (s.on ? "other" : "idle");
    case K::kShot:
      return n == 2 && w[1] == s.name;
    case K::kEnd:
      return n == 1;
    case K::kKey:
      return (n == 2 || n == 3) && s.keyboard != nullptr && w[1].size() == strlen(s.keyboard->name) &&
             strcasecmp(w[1].c_str(), s.keyboard->name) == 0 && (n == 2 ? s.ms == 0 : Number(w[2]) == s.ms);
    case K::kFailAlloc:
      return n == 3 && w[1] == "alloc" && Number(w[2]) == s.count;
    default:
      return false;
  }
}

// Within what the runner takes: a day at most, a screenshot name that is a
// plain file name.
bool Bounded(const drive::Step& s) {
  if (s.ms > drive::kMaxStepMs) return false;
  if (s.kind != K::kShot) return true;
  size_t n = strnlen(s.name, sizeof s.name);
  return n > 0 && n <= drive::kMaxShotName && s.name[0] != '.' &&
         strspn(s.name, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.") == n;
}

bool Printable(const char* text) {
  for (const char* p = text; *p != '\0'; ++p)
    if ((unsigned char)*p < 0x20 || *p == 0x7F) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::vector<std::string>> lines = Lines(data, size);
  drive::Script script;
  drive::ScriptError error;
  Require(drive::ParseScript("end\n", 4, &script, &error), "the script read before is refused");
  if (!drive::ParseScript((const char*)data, size, &script, &error)) {
    Require(error.line >= 1 && (size_t)error.line <= lines.size() && !lines[error.line - 1].empty(),
            "a refusal names no line that holds a step");
    Require(!error.message.Empty() && Printable(error.message.CStr()), "a refusal is not one printable line");
    Require(script.Size() == 1 && script[0].kind == K::kEnd, "a refused script changed the one read before");
    return 0;
  }
  size_t k = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    Require(k < script.Size() && script[k].line == (int)i + 1, "a line that holds a step gave none");
    Require(Says(script[k], lines[i]), "a step says other than its line");
    Require(Bounded(script[k]), "a step beyond what the runner takes");
    ++k;
  }
  Require(k == script.Size(), "a step from no line");
  return 0;
}
