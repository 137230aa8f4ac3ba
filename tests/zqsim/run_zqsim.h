// SPDX-License-Identifier: MIT
// Runs the zqsim program (or zqbox) for end-to-end tests and collects what it
// printed.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zqsim_test {

struct RunResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string ShellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// `prefix` goes before the program on the command line (environment
// settings, xvfb-run); the arguments are quoted.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& prefix = "") {
  char dir[] = "/tmp/zqsim_run.XXXXXX";
  RunResult r;
  if (mkdtemp(dir) == nullptr) return r;
  std::string out = std::string(dir) + "/out", err = std::string(dir) + "/err";
  std::string cmd = prefix + " " + ShellQuoted(program);
  for (const std::string& a : args) {
    cmd += ' ';
    cmd += ShellQuoted(a);
  }
  cmd += " >" + out + " 2>" + err + " </dev/null";
  int raw = system(cmd.c_str());
  if (raw != -1 && WIFEXITED(raw)) r.status = WEXITSTATUS(raw);
  r.out = ReadAll(out);
  r.err = ReadAll(err);
  unlink(out.c_str());
  unlink(err.c_str());
  rmdir(dir);
  return r;
}

#ifdef ZQSIM_PATH
inline RunResult RunZqsim(const std::vector<std::string>& args, const std::string& prefix = "") {
  return RunProgram(ZQSIM_PATH, args, prefix);
}
#endif

// A folder of its own for a test, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/zqsim_test.XXXXXX";
    path_ = mkdtemp(pattern) ? pattern : "";
  }
  ~TempDir() {
    if (!path_.empty()) std::filesystem::remove_all(path_);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

}  // namespace zqsim_test
