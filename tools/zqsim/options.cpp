// SPDX-License-Identifier: MIT
#include "tools/zqsim/options.h"

#include <stdlib.h>

#include <cstring>

namespace zqsim {

namespace {

bool ParseInt(const char* s, int lo, int hi, int* out) {
  char* end = nullptr;
  long v = strtol(s, &end, 10);
  if (end == s || *end != 0 || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options* out, bool* help, std::string* error) {
  Options o;
  *help = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string* into) {
      if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      }
      *into = argv[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      *help = true;
      return true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--until-end") {
      o.until_end = true;
    } else if (a == "-v") {
      o.verbose = true;
    } else if (a == "--key-map") {
      o.key_map = true;
    } else if (a == "--script") {
      if (!value(&o.script)) return false;
    } else if (a == "--shots") {
      if (!value(&o.shots_dir)) return false;
    } else if (a == "--trace") {
      if (!value(&o.trace_file)) return false;
    } else if (a == "--image") {
      if (!value(&o.image)) return false;
    } else if (a == "--images") {
      if (!value(&o.images_dir)) return false;
    } else if (a == "--root") {
      if (!value(&o.root)) return false;
    } else if (a == "--platform") {
      if (!value(&o.platform)) return false;
    } else if (a == "--gb2uc") {
      if (!value(&o.gb2uc_map)) return false;
    } else if (a == "--scale") {
      std::string v;
      if (!value(&v)) return false;
      if (!ParseInt(v.c_str(), 1, 6, &o.scale)) {
        *error = "--scale takes a whole number from 1 to 6";
        return false;
      }
    } else if (a.size() > 1 && a[0] == '-') {
      *error = "unknown option " + a;
      return false;
    } else if (o.path.empty()) {
      o.path = a;
    } else {
      *error = "only one PATH may be given";
      return false;
    }
  }
  if (o.path.empty()) {
    *error = "no PATH given";
    return false;
  }
  if (!o.script.empty() && o.until_end) {
    *error = "--script and --until-end exclude each other";
    return false;
  }
  *out = o;
  return true;
}

}  // namespace zqsim
