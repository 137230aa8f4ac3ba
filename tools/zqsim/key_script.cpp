#include "tools/zqsim/key_script.h"

#include <fstream>
#include <sstream>

#include "tools/zqsim/key_map.h"

namespace zqsim {
namespace {

std::vector<std::string> words_of(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// Digits only, no sign, no spaces: "0x2F", "0X2f" or "47".
bool parse_number(const std::string& s, uint64_t limit, uint64_t* out) {
  size_t i = 0;
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    i = 2;
  }
  if (i >= s.size()) return false;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
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
bool good_shot_name(const std::string& s) {
  if (s.empty() || s.size() > 64 || s[0] == '.') return false;
  for (char c : s) {
    bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

struct LineParser {
  const std::vector<std::string>& w;
  std::string* why;

  bool arity(size_t n, const char* usage) {
    if (w.size() == n) return true;
    *why = std::string("expected \"") + usage + "\"";
    return false;
  }
  bool key(const std::string& s, uint8_t* out) {
    uint64_t v;
    if (!parse_number(s, 0xFF, &v)) {
      *why = "bad key code \"" + s + "\" (0 to 255, in hex like 0x2F or decimal)";
      return false;
    }
    *out = static_cast<uint8_t>(v);
    return true;
  }
  bool ms(const std::string& s, uint32_t* out) {
    uint64_t v;
    if (!parse_number(s, kMaxStepMs, &v)) {
      *why = "bad time \"" + s + "\" (milliseconds, at most " + std::to_string(kMaxStepMs) + ")";
      return false;
    }
    *out = static_cast<uint32_t>(v);
    return true;
  }
  bool choice(const std::string& s, const char* yes, const char* no, bool* out) {
    if (s == yes || s == no) {
      *out = s == yes;
      return true;
    }
    *why = "expected \"" + std::string(yes) + "\" or \"" + no + "\", not \"" + s + "\"";
    return false;
  }

  bool parse(Step* step) {
    const std::string& op = w[0];
    using K = Step::Kind;
    if (op == "wait") return (step->kind = K::Wait, arity(2, "wait MS") && ms(w[1], &step->ms));
    if (op == "press") return (step->kind = K::Press, arity(2, "press KEY") && key(w[1], &step->key));
    if (op == "release") return (step->kind = K::Release, arity(2, "release KEY") && key(w[1], &step->key));
    if (op == "tap") return (step->kind = K::Tap, arity(2, "tap KEY") && key(w[1], &step->key));
    if (op == "hold")
      return (step->kind = K::Hold, arity(3, "hold KEY MS") && key(w[1], &step->key) && ms(w[2], &step->ms));
    if (op == "lock") return (step->kind = K::Lock, arity(2, "lock on|off") && choice(w[1], "on", "off", &step->on));
    if (op == "call") return (step->kind = K::Call, arity(2, "call on|off") && choice(w[1], "on", "off", &step->on));
    if (op == "front")
      return (step->kind = K::Front, arity(2, "front idle|other") && choice(w[1], "other", "idle", &step->on));
    if (op == "shot") {
      step->kind = K::Shot;
      if (!arity(2, "shot NAME")) return false;
      if (!good_shot_name(w[1])) {
        *why = "bad screenshot name \"" + w[1] + "\" (letters, digits, _ - . only)";
        return false;
      }
      step->name = w[1];
      return true;
    }
    if (op == "end") return (step->kind = K::End, arity(1, "end"));
    if (op == "key") {
      step->kind = K::Key;
      if (w.size() != 2 && w.size() != 3) {
        *why = "expected \"key NAME [MS]\"";
        return false;
      }
      step->keycode = keyboard_key(w[1]);
      if (step->keycode == 0) {
        *why = "no keyboard key named \"" + w[1] + "\"";
        return false;
      }
      return w.size() == 2 || ms(w[2], &step->ms);
    }
    *why = "unknown step \"" + op + "\"";
    return false;
  }
};

}  // namespace

bool parse_script(const std::string& text, std::vector<Step>* steps, ScriptError* error) {
  std::vector<Step> parsed;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    std::string line = raw.substr(0, raw.find('#'));
    std::vector<std::string> words = words_of(line);
    if (words.empty()) continue;
    Step step{};
    step.line = number;
    std::string why;
    LineParser p{words, &why};
    if (!p.parse(&step)) {
      if (error) *error = ScriptError{number, why};
      return false;
    }
    parsed.push_back(step);
  }
  *steps = std::move(parsed);
  return true;
}

bool load_script(const char* path, std::vector<Step>* steps, ScriptError* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = ScriptError{0, std::string("cannot read the script ") + path};
    return false;
  }
  std::ostringstream all;
  all << in.rdbuf();
  return parse_script(all.str(), steps, error);
}

}  // namespace zqsim
