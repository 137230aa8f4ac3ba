// SPDX-License-Identifier: MIT
#include "tools/zqsim/options.h"

#include <stdlib.h>

#include <cstring>

namespace zqsim {

const char* UsageText() {
  return "usage: zqsim [options] PATH\n"
         "Plays PATH (an .mp3/.m4a file, or a folder: its first track) on the\n"
         "simulated phone, in a window with sound when there is a display, else\n"
         "headless.\n"
         "\n"
         "  --headless        no window and no sound; virtual time as fast as it goes\n"
         "                    (also when there is no display)\n"
         "  --script FILE     run the key script FILE, then end (with a window, its\n"
         "                    waits follow the window's clock)\n"
         "  --until-end       headless: play the folder once through in list mode\n"
         "  --shots DIR       screenshots go here (NAME.png)\n"
         "  --trace FILE      the trace goes here instead of stdout\n"
         "  --image NAME      the build to run: zq_player_blue (default),\n"
         "                    zq_player_blue_patch, zq_player, zq_player_patch,\n"
         "                    or the path of an image file\n"
         "  --images DIR      where the images are (default: the build's images)\n"
         "  --root DIR        \"file://b/\" is DIR as it is (PATH must lie in it)\n"
         "  --platform NAME   the platform name (\"LTE\" switches the volume type to 4)\n"
         "  --gb2uc FILE      the GB2312 table (default: the build's gb2uc.map)\n"
         "  --scale N         window: screen scale 1 to 6 (default 2)\n"
         "  --key-map         window: open with the key map shown (F1 toggles it)\n"
         "  -v                say on stderr why the engine refuses a file\n"
         "  -h, --help        this text\n"
         "\n"
         "Window keys: F1 shows the phone's keys; F5 keypad lock, F6 voice call,\n"
         "F7 idle screen / another application in front, F12 screenshot (into\n"
         "--shots DIR, else .).\n"
         "\n"
         "Key script steps, one per line (# starts a comment; keys in hex like 0x2F\n"
         "or decimal):\n"
         "  wait MS | press K | release K | tap K | hold K MS | lock on|off\n"
         "  call on|off | front idle|other | shot NAME | key NAME [MS]\n"
         "  fail alloc N | end\n"
         "  (key: a keyboard key of the window by name, like F5, Up, PageDown, *,\n"
         "  held MS; fail alloc: the program's N-th memory request from then on\n"
         "  fails)\n"
         "Exit status: 0 done, 1 the run failed, 2 bad command line, script, PATH\n"
         "or image.\n";
}

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
