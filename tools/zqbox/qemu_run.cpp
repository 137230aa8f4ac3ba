// SPDX-License-Identifier: MIT
#include "tools/zqbox/qemu_run.h"

#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

namespace zqbox {
namespace {

volatile sig_atomic_t g_child = 0;

void PassOn(int sig) {
  if (g_child > 0) kill(g_child, sig);
}

}  // namespace

std::string FindQemu() {
  const char* path = getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string candidate = (dir.empty() ? "." : dir) + "/qemu-armeb";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::vector<std::string> BoxCommand(const std::string& qemu, const std::string& box_program,
                                    const std::vector<std::string>& args) {
  std::vector<std::string> command = {qemu, "-cpu", "arm926", box_program};
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

int RunBox(const std::vector<std::string>& command, int* signal_out, std::string* error) {
  *signal_out = 0;
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  struct sigaction forward {};
  forward.sa_handler = PassOn;
  sigemptyset(&forward.sa_mask);
  struct sigaction old_int, old_term, old_hup;
  sigaction(SIGINT, &forward, &old_int);
  sigaction(SIGTERM, &forward, &old_term);
  sigaction(SIGHUP, &forward, &old_hup);
  pid_t child = fork();
  if (child == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 1;
  if (child < 0) {
    *error = "cannot start " + command[0];
  } else {
    g_child = child;
    int raw = 0;
    while (waitpid(child, &raw, 0) < 0 && errno == EINTR) {
    }
    g_child = 0;
    if (WIFEXITED(raw)) {
      status = WEXITSTATUS(raw);
      if (status == 127) *error = "cannot run " + command[0];
    } else if (WIFSIGNALED(raw)) {
      *signal_out = WTERMSIG(raw);
    }
  }
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGTERM, &old_term, nullptr);
  sigaction(SIGHUP, &old_hup, nullptr);
  return status;
}

}  // namespace zqbox
