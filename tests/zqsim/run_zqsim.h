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

inline std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string shell_quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// `prefix` goes before the program on the command line (environment
// settings, xvfb-run); the arguments are quoted.
inline RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                             const std::string& prefix = "") {
  char dir[] = "/tmp/zqsim_run.XXXXXX";
  RunResult r;
  if (mkdtemp(dir) == nullptr) return r;
  std::string out = std::string(dir) + "/out", err = std::string(dir) + "/err";
  std::string cmd = prefix + " " + shell_quoted(program);
  for (const std::string& a : args) {
    cmd += ' ';
    cmd += shell_quoted(a);
  }
  cmd += " >" + out + " 2>" + err + " </dev/null";
  int raw = system(cmd.c_str());
  if (raw != -1 && WIFEXITED(raw)) r.status = WEXITSTATUS(raw);
  r.out = read_all(out);
  r.err = read_all(err);
  unlink(out.c_str());
  unlink(err.c_str());
  rmdir(dir);
  return r;
}

#ifdef ZQSIM_PATH
inline RunResult run_zqsim(const std::vector<std::string>& args, const std::string& prefix = "") {
  return run_program(ZQSIM_PATH, args, prefix);
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
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

}  // namespace zqsim_test
