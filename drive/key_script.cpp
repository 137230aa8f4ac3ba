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
  bool is(const char* s) const {
    size_t n = length_of(s);
    if (n != length) return false;
    for (size_t i = 0; i < n; ++i)
      if (at[i] != s[i]) return false;
    return true;
  }
};

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Digits only, no sign, no spaces: "0x2F", "0X2f" or "47".
bool parse_number(const Word& w, uint64_t limit, uint64_t* out) {
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
      d = static_cast<uint64_t>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = static_cast<uint64_t>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = static_cast<uint64_t>(c - 'A' + 10);
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
bool good_shot_name(const Word& w) {
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
  void quoted(const Word& word) {
    why->append('"');
    for (size_t i = 0; i < word.length; ++i) {
      auto c = static_cast<uint8_t>(word.at[i]);
      if (c >= 0x20 && c != 0x7F) {
        why->append(static_cast<char>(c));
      } else {
        const char* digits = "0123456789abcdef";
        why->append("\\x").append(digits[c >> 4]).append(digits[c & 0xF]);
      }
    }
    why->append('"');
  }

  bool arity(size_t n, const char* usage) {
    if (words == n) return true;
    why->append("expected \"").append(usage).append('"');
    return false;
  }
  bool key(const Word& s, uint8_t* out) {
    uint64_t v;
    if (!parse_number(s, 0xFF, &v)) {
      why->append("bad key code ");
      quoted(s);
      why->append(" (0 to 255, in hex like 0x2F or decimal)");
      return false;
    }
    *out = static_cast<uint8_t>(v);
    return true;
  }
  bool ms(const Word& s, uint32_t* out) {
    uint64_t v;
    if (!parse_number(s, kMaxStepMs, &v)) {
      why->append("bad time ");
      quoted(s);
      why->append(" (milliseconds, at most ").append_number(kMaxStepMs).append(')');
      return false;
    }
    *out = static_cast<uint32_t>(v);
    return true;
  }
  bool choice(const Word& s, const char* yes, const char* no, bool* out) {
    if (s.is(yes) || s.is(no)) {
      *out = s.is(yes);
      return true;
    }
    why->append("expected \"").append(yes).append("\" or \"").append(no).append("\", not ");
    quoted(s);
    return false;
  }

  bool parse(Step* step) {
    const Word& op = w[0];
    using K = Step::Kind;
    if (op.is("wait")) return (step->kind = K::Wait, arity(2, "wait MS") && ms(w[1], &step->ms));
    if (op.is("press")) return (step->kind = K::Press, arity(2, "press KEY") && key(w[1], &step->key));
    if (op.is("release")) return (step->kind = K::Release, arity(2, "release KEY") && key(w[1], &step->key));
    if (op.is("tap")) return (step->kind = K::Tap, arity(2, "tap KEY") && key(w[1], &step->key));
    if (op.is("hold"))
      return (step->kind = K::Hold, arity(3, "hold KEY MS") && key(w[1], &step->key) && ms(w[2], &step->ms));
    if (op.is("lock")) return (step->kind = K::Lock, arity(2, "lock on|off") && choice(w[1], "on", "off", &step->on));
    if (op.is("call")) return (step->kind = K::Call, arity(2, "call on|off") && choice(w[1], "on", "off", &step->on));
    if (op.is("front"))
      return (step->kind = K::Front, arity(2, "front idle|other") && choice(w[1], "other", "idle", &step->on));
    if (op.is("shot")) {
      step->kind = K::Shot;
      if (!arity(2, "shot NAME")) return false;
      if (!good_shot_name(w[1])) {
        why->append("bad screenshot name ");
        quoted(w[1]);
        why->append(" (letters, digits, _ - . only)");
        return false;
      }
      for (size_t i = 0; i < w[1].length; ++i) step->name[i] = w[1].at[i];
      step->name[w[1].length] = '\0';
      return true;
    }
    if (op.is("end")) return (step->kind = K::End, arity(1, "end"));
    if (op.is("key")) {
      step->kind = K::Key;
      if (words != 2 && words != 3) {
        why->append("expected \"key NAME [MS]\"");
        return false;
      }
      Text name;
      name.append(w[1].at, w[1].length);
      // A name holding a zero byte names no key, not the key before it.
      step->keyboard = name.size() == length_of(name.c_str()) ? keyboard_key_named(name.c_str()) : nullptr;
      if (step->keyboard == nullptr) {
        why->append("no keyboard key named ");
        quoted(w[1]);
        why->append(" acts on the phone or the simulator");
        return false;
      }
      return words == 2 || ms(w[2], &step->ms);
    }
    if (op.is("fail")) {
      step->kind = K::FailAlloc;
      uint64_t n = 0;
      if (words != 3 || !w[1].is("alloc")) {
        why->append("expected \"fail alloc N\"");
        return false;
      }
      if (!parse_number(w[2], kMaxFailCount, &n) || n == 0) {
        why->append("bad count ");
        quoted(w[2]);
        why->append(" (1 to ").append_number(kMaxFailCount).append(')');
        return false;
      }
      step->count = static_cast<uint32_t>(n);
      return true;
    }
    why->append("unknown step ");
    quoted(op);
    return false;
  }
};

// Splits a line (its comment cut off) into words.
void split_words(const char* at, const char* end, LineParser* p) {
  p->words = 0;
  while (at < end) {
    while (at < end && is_space(*at)) ++at;
    if (at == end) break;
    const char* start = at;
    while (at < end && !is_space(*at)) ++at;
    if (p->words < LineParser::kMaxWords) p->w[p->words] = Word{start, static_cast<size_t>(at - start)};
    ++p->words;
  }
}

}  // namespace

bool parse_script(const char* text, size_t length, Script* script, ScriptError* error) {
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
    split_words(at, comment, &p);
    at = line_end < end ? line_end + 1 : end;
    if (p.words == 0) continue;
    Step step{};
    step.line = number;
    Step* slot = nullptr;
    bool ok = p.parse(&step);
    if (ok) {
      slot = parsed.append(1);
      if (slot == nullptr) why.append("no memory for the script");
    }
    if (slot == nullptr) {
      parsed.release();
      if (error) {
        error->line = number;
        error->message.assign(why.c_str());
      }
      return false;
    }
    *slot = step;
  }
  script->steps_.release();
  script->steps_ = parsed;
  return true;
}

bool load_script(const char* path, Script* script, ScriptError* error) {
  int fd = sim::port::open_read(path);
  int64_t size = fd >= 0 ? sim::port::file_size(fd) : -1;
  char* bytes = nullptr;
  bool read = false;
  if (size >= 0 && size <= kMaxScriptBytes) {
    bytes = static_cast<char*>(sim::port::allocate(static_cast<size_t>(size) + 1));
    read = bytes != nullptr && sim::port::read(fd, bytes, static_cast<size_t>(size)) == size;
  }
  sim::port::close(fd);
  if (!read) {
    if (bytes != nullptr) sim::port::release(bytes);
    if (error) {
      error->line = 0;
      error->message.assign("cannot read the script ");
      error->message.append(path != nullptr ? path : "");
    }
    return false;
  }
  bool ok = parse_script(bytes, static_cast<size_t>(size), script, error);
  sim::port::release(bytes);
  return ok;
}

bool load_script_or_say(const char* program, const char* path, Script* script) {
  ScriptError bad;
  if (load_script(path, script, &bad)) return true;
  Text line;
  if (bad.line > 0) line.append(path).append(':').append_number(static_cast<uint32_t>(bad.line)).append(": ");
  line.append(bad.message);
  say(program, line.c_str());
  return false;
}

}  // namespace drive
