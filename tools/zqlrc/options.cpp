// SPDX-License-Identifier: MIT
#include "options.h"

#include <stdlib.h>

#include "text_decoding.h"
#include "text_reading.h"

namespace zqlrc {

namespace {

bool KnownEncoding(const std::string& name) {
  return KnowsEncoding(IconvName(name).c_str());
}

// Which command each option belongs to; empty for all of them.
struct KnownOption {
  const char* name;
  const char* command;
  bool takes_value;
};
constexpr KnownOption kOptions[] = {
    {"--table", "", true},   {"--patch", "", false},       {"--length", "check", true},
    {"--out", "fix", true},  {"--in-place", "fix", false}, {"--to", "fix", true},
    {"--from", "fix", true}, {"--lrc", "scan", true},      {"--join-same-time", "fix", false},
};

// Takes one option's value into the arguments.
bool Take(const std::string& name, const std::string& value, Args* args, std::string* problem) {
  if (name == "--table") {
    args->table = value;
  } else if (name == "--patch") {
    args->patch = true;
  } else if (name == "--length") {
    char* end = nullptr;
    long long seconds = strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || seconds < 0) {
      *problem = "--length takes a whole number of seconds";
      return false;
    }
    args->check.length_seconds = seconds;
  } else if (name == "--out" || name == "--in-place") {
    if (args->fix.output != FixOutput::kReport) {
      *problem = "--out and --in-place exclude each other";
      return false;
    }
    args->fix.output = name == "--out" ? FixOutput::kFolder : FixOutput::kInPlace;
    args->fix.folder = value;
  } else if (name == "--to") {
    if (!ParseTarget(value, &args->fix.options.target)) {
      *problem = "--to takes utf8, utf16le, utf16be or gb2312, not '" + value + "'";
      return false;
    }
    args->fix.options.has_target = true;
  } else if (name == "--join-same-time") {
    args->fix.options.mend.join_same_time = true;
  } else if (name == "--from") {
    if (!KnownEncoding(value)) {
      *problem = "--from: no encoding '" + value + "' is known here (iconv -l lists them)";
      return false;
    }
    args->fix.options.from = value;
  } else {
    args->lyrics_dir = value;
  }
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: zqlrc COMMAND [options] FILE...\n"
         "The phone's own lyrics code on the command line.\n"
         "\n"
         "  zqlrc dump FILE               the lyrics record the phone makes of FILE,\n"
         "                                as JSON\n"
         "  zqlrc check FILE...           a report per file: the encoding the phone\n"
         "                                detects, its status and message, counts,\n"
         "                                tags, problems and which of them fix mends\n"
         "  zqlrc fix FILE...             makes each FILE one the phone reads as\n"
         "                                written (with --out or --in-place; without\n"
         "                                them it only says what it would do)\n"
         "  zqlrc scan MUSIC_DIR          for every track the player lists, the lyrics\n"
         "                                file the phone opens and its verdict\n"
         "\n"
         "  --table MAP       the GB2312 table (default: the build's gb2uc.map)\n"
         "  --patch           run the build that reads the table from firmware memory\n"
         "  --length SECONDS  check: the track's length, to find times past its end\n"
         "  --out DIR         fix: write into DIR; files already right are copied\n"
         "  --in-place        fix: replace each file that changes\n"
         "  --to ENC          fix: write utf8 (the default), utf16le, utf16be (each\n"
         "                    with its byte-order mark) or gb2312\n"
         "  --from ENC        fix: read as ENC (utf8, gbk, big5, shift_jis, utf16le,\n"
         "                    ...) instead of by the byte-order mark, else UTF-8,\n"
         "                    else GB2312, else the encoding a charset detector\n"
         "                    names clearly (fix refuses when it does not)\n"
         "  --join-same-time  fix: join lines that share their times (a line and\n"
         "                    its translation) into one, with \" / \" between\n"
         "  --lrc DIR         scan: the lyrics folder (default: MUSIC_DIR/lrc, then\n"
         "                    beside the tracks)\n"
         "  -h, --help        this text\n"
         "\n"
         "check and fix work from one list of findings. fix removes word-timing\n"
         "tags (<mm:ss.xx>) and characters beyond 16 bits; mends malformed tags\n"
         "(blanks inside a time tag, a negative time read as 0, more than three\n"
         "fraction digits, an ID tag key in other letters, lines of an empty \"[]\");\n"
         "and reads time tags inside a line's text: when every piece of text such\n"
         "a tag ends is one word (no blank inside; beside a blank, or at most two\n"
         "characters of Chinese or Japanese), they are syllable timing and go;\n"
         "when every piece is a whole line (a blank inside, or three characters\n"
         "or more of Chinese or Japanese) directly followed by the tag, a line\n"
         "break was lost and the tag starts a new line; otherwise the line stays\n"
         "and check reports it. Over the phone's limits (100 lines, 200 time\n"
         "tags) lines of identical text become one line with all their times;\n"
         "what still does not fit is written too, and fix names what the phone\n"
         "will not show. It refuses only what it cannot write usefully: more\n"
         "than 65534 bytes, encrypted, an encoding it cannot tell. Over many\n"
         "files it ends with one summary line.\n"
         "\n"
         "Exit status: 0 every file or track shows its lyrics as written (fix: every\n"
         "file is right now, as far as the phone's limits allow; dump: always), 1\n"
         "otherwise (fix: a file was refused, or problems stay that fix cannot\n"
         "mend), 2 bad command line, or a file or folder that cannot be read or\n"
         "written.\n";
}

bool ParseArgs(int argc, char** argv, Args* args, bool* help, std::string* problem) {
  *help = false;
  for (int k = 1; k < argc; ++k) {
    std::string arg = argv[k];
    if (arg == "-h" || arg == "--help") {
      *help = true;
      return true;
    }
  }
  if (argc < 2) {
    *problem = "no command";
    return false;
  }
  args->command = argv[1];
  if (args->command != "dump" && args->command != "check" && args->command != "fix" && args->command != "scan") {
    *problem = "unknown command '" + args->command + "'";
    return false;
  }
  for (int k = 2; k < argc; ++k) {
    std::string arg = argv[k];
    const KnownOption* known = nullptr;
    for (const KnownOption& o : kOptions)
      if (arg == o.name) known = &o;
    if (known == nullptr && arg.size() > 1 && arg[0] == '-') {
      *problem = "unknown option '" + arg + "'";
      return false;
    }
    if (known == nullptr) {
      args->files.push_back(arg);
      continue;
    }
    if (*known->command != '\0' && args->command != known->command) {
      *problem = arg + " is an option of " + known->command + ", not of " + args->command;
      return false;
    }
    if (known->takes_value && k + 1 >= argc) {
      *problem = arg + " needs a value";
      return false;
    }
    if (!Take(arg, known->takes_value ? argv[++k] : "", args, problem)) return false;
  }
  const std::string& c = args->command;
  if (args->files.empty() || ((c == "dump" || c == "scan") && args->files.size() != 1)) {
    *problem = c == "dump"   ? "dump takes one FILE"
               : c == "scan" ? "scan takes one MUSIC_DIR"
                             : c + " takes at least one FILE";
    return false;
  }
  return true;
}

}  // namespace zqlrc
