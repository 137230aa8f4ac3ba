// SPDX-License-Identifier: MIT
#include "drive/key_script.h"

#include "drive/trace.h"
#include "sim/port.h"

namespace drive {
namespace {

// The largest count `fail alloc` takes: far more memory requests than a run
// makes.
constexpr uint32_t kMaxFailCount = 1000000;
// The largest script file read: far more steps than a person writes.
constexpr int64_t kMaxScriptBytes = 16 << 20;

struct Word {
  const char* at;
  size_t length;
  bool Is(const char* s) const {
    size_t n = LengthOf(s);
    if (n != length) return false;
    for (size_t i = 0; i < n; ++i)
      if (at[i] != s[i]) return false;
    return true;
  }
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Digits only, no sign, no spaces: "0x2F", "0X2f" or "47".
bool ParseNumber(const Word& w, uint64_t limit, uint64_t* out) {
  size_t i = 0;
  uint64_t base = 10;
  if (w.length > 2 && w.at[0] == '0' && (w.at[1] == 'x' || w.at[1] == 'X')) {
    base = 16;
    i = 2;
  }
  if (i >= w.length) return false;
  uint64_t v = 0;
  for (; i < w.length; ++i) {
    char c = w.at[i];
    uint64_t d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    v = v * base + d;
    if (v > limit) return false;
  }
  *out = v;
  return true;
}

// Screenshot names become file names: letters, digits, "_", "-" and "." only,
// not starting with a dot.
bool GoodShotName(const Word& w) {
  if (w.length == 0 || w.length > kMaxShotName || w.at[0] == '.') return false;
  for (size_t i = 0; i < w.length; ++i) {
    char c = w.at[i];
    bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

struct LineParser {
  static constexpr size_t kMaxWords = 4;  // more than any step takes
  Word w[kMaxWords];
  size_t words;  // how many the line has (only the first kMaxWords are kept)
  Text* why;

  // A word of the script in quotes; its control bytes show as \xNN, so that
  // the refusal stays one printable line.
  void Quoted(const Word& word) {
    why->Append('"');
    for (size_t i = 0; i < word.length; ++i) {
      auto c = static_cast<uint8_t>(word.at[i]);
      if (c >= 0x20 && c != 0x7F) {
        why->Append(static_cast<char>(c));
      } else {
        const char* digits = "0123456789abcdef";
        why->Append("\\x").Append(digits[c >> 4]).Append(digits[c & 0xF]);
      }
    }
    why->Append('"');
  }

  bool Arity(size_t n, const char* usage) {
    if (words == n) return true;
    why->Append("expected \"").Append(usage).Append('"');
    return false;
  }
  bool Key(const Word& s, uint8_t* out) {
    uint64_t v;
    if (!ParseNumber(s, 0xFF, &v)) {
      why->Append("bad key code ");
      Quoted(s);
      why->Append(" (0 to 255, in hex like 0x2F or decimal)");
      return false;
    }
    *out = static_cast<uint8_t>(v);
    return true;
  }
  bool Ms(const Word& s, uint32_t* out) {
    uint64_t v;
    if (!ParseNumber(s, kMaxStepMs, &v)) {
      why->Append("bad time ");
      Quoted(s);
      why->Append(" (milliseconds, at most ").AppendNumber(kMaxStepMs).Append(')');
      return false;
    }
    *out = static_cast<uint32_t>(v);
    return true;
  }
  bool Choice(const Word& s, const char* yes, const char* no, bool* out) {
    if (s.Is(yes) || s.Is(no)) {
      *out = s.Is(yes);
      return true;
    }
    why->Append("expected \"").Append(yes).Append("\" or \"").Append(no).Append("\", not ");
    Quoted(s);
    return false;
  }

  bool Parse(Step* step) {
    const Word& op = w[0];
    using K = Step::Kind;
    if (op.Is("wait")) return (step->kind = K::kWait, Arity(2, "wait MS") && Ms(w[1], &step->ms));
    if (op.Is("press")) return (step->kind = K::kPress, Arity(2, "press KEY") && Key(w[1], &step->key));
    if (op.Is("release")) return (step->kind = K::kRelease, Arity(2, "release KEY") && Key(w[1], &step->key));
    if (op.Is("tap")) return (step->kind = K::kTap, Arity(2, "tap KEY") && Key(w[1], &step->key));
    if (op.Is("hold"))
      return (step->kind = K::kHold, Arity(3, "hold KEY MS") && Key(w[1], &step->key) && Ms(w[2], &step->ms));
    if (op.Is("lock")) return (step->kind = K::kLock, Arity(2, "lock on|off") && Choice(w[1], "on", "off", &step->on));
    if (op.Is("call")) return (step->kind = K::kCall, Arity(2, "call on|off") && Choice(w[1], "on", "off", &step->on));
    if (op.Is("front"))
      return (step->kind = K::kFront, Arity(2, "front idle|other") && Choice(w[1], "other", "idle", &step->on));
    if (op.Is("shot")) {
      step->kind = K::kShot;
      if (!Arity(2, "shot NAME")) return false;
      if (!GoodShotName(w[1])) {
        why->Append("bad screenshot name ");
        Quoted(w[1]);
        why->Append(" (letters, digits, _ - . only)");
        return false;
      }
      for (size_t i = 0; i < w[1].length; ++i) step->name[i] = w[1].at[i];
      step->name[w[1].length] = '\0';
      return true;
    }
    if (op.Is("end")) return (step->kind = K::kEnd, Arity(1, "end"));
    if (op.Is("key")) {
      step->kind = K::kKey;
      if (words != 2 && words != 3) {
        why->Append("expected \"key NAME [MS]\"");
        return false;
      }
      Text name;
      name.Append(w[1].at, w[1].length);
      // A name holding a zero byte names no key, not the key before it.
      step->keyboard = name.Size() == LengthOf(name.CStr()) ? KeyboardKeyNamed(name.CStr()) : nullptr;
      if (step->keyboard == nullptr) {
        why->Append("no keyboard key named ");
        Quoted(w[1]);
        why->Append(" acts on the phone or the simulator");
        return false;
      }
      return words == 2 || Ms(w[2], &step->ms);
    }
    if (op.Is("fail")) {
      step->kind = K::kFailAlloc;
      uint64_t n = 0;
      if (words != 3 || !w[1].Is("alloc")) {
        why->Append("expected \"fail alloc N\"");
        return false;
      }
      if (!ParseNumber(w[2], kMaxFailCount, &n) || n == 0) {
        why->Append("bad count ");
        Quoted(w[2]);
        why->Append(" (1 to ").AppendNumber(kMaxFailCount).Append(')');
        return false;
      }
      step->count = static_cast<uint32_t>(n);
      return true;
    }
    why->Append("unknown step ");
    Quoted(op);
    return false;
  }
};

// Splits a line (its comment cut off) into words.
void SplitWords(const char* at, const char* end, LineParser* p) {
  p->words = 0;
  while (at < end) {
    while (at < end && IsSpace(*at)) ++at;
    if (at == end) break;
    const char* start = at;
    while (at < end && !IsSpace(*at)) ++at;
    if (p->words < LineParser::kMaxWords) p->w[p->words] = Word{start, static_cast<size_t>(at - start)};
    ++p->words;
  }
}

}  // namespace

bool ParseScript(const char* text, size_t length, Script* script, ScriptError* error) {
  sim::PortArray<Step> parsed{};
  const char* at = text;
  const char* end = text + length;
  int number = 0;
  while (at < end) {
    ++number;
    const char* line_end = at;
    while (line_end < end && *line_end != '\n') ++line_end;
    const char* comment = at;
    while (comment < line_end && *comment != '#') ++comment;
    Text why;
    LineParser p{};
    p.why = &why;
    SplitWords(at, comment, &p);
    at = line_end < end ? line_end + 1 : end;
    if (p.words == 0) continue;
    Step step{};
    step.line = number;
    Step* slot = nullptr;
    bool ok = p.Parse(&step);
    if (ok) {
      slot = parsed.Append(1);
      if (slot == nullptr) why.Append("no memory for the script");
    }
    if (slot == nullptr) {
      parsed.Release();
      if (error) {
        error->line = number;
        error->message.Assign(why.CStr());
      }
      return false;
    }
    *slot = step;
  }
  script->steps_.Release();
  script->steps_ = parsed;
  return true;
}

bool LoadScript(const char* path, Script* script, ScriptError* error) {
  int fd = sim::port::OpenRead(path);
  int64_t size = fd >= 0 ? sim::port::FileSize(fd) : -1;
  char* bytes = nullptr;
  bool read = false;
  if (size >= 0 && size <= kMaxScriptBytes) {
    bytes = static_cast<char*>(sim::port::Allocate(static_cast<size_t>(size) + 1));
    read = bytes != nullptr && sim::port::Read(fd, bytes, static_cast<size_t>(size)) == size;
  }
  sim::port::Close(fd);
  if (!read) {
    if (bytes != nullptr) sim::port::Release(bytes);
    if (error) {
      error->line = 0;
      error->message.Assign("cannot read the script ");
      error->message.Append(path != nullptr ? path : "");
    }
    return false;
  }
  bool ok = ParseScript(bytes, static_cast<size_t>(size), script, error);
  sim::port::Release(bytes);
  return ok;
}

bool LoadScriptOrSay(const char* program, const char* path, Script* script) {
  ScriptError bad;
  if (LoadScript(path, script, &bad)) return true;
  Text line;
  if (bad.line > 0) line.Append(path).Append(':').AppendNumber(static_cast<uint32_t>(bad.line)).Append(": ");
  line.Append(bad.message);
  Say(program, line.CStr());
  return false;
}

}  // namespace drive
