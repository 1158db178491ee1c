#include "ProgramRunner.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void ExecProgram(const std::vector<std::string>& args, int out, int err) {
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  std::vector<char*> argv = {const_cast<char*>(FOLIOSCRIBE_EXE)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(FOLIOSCRIBE_EXE, argv.data());
  _exit(127);
}

// Reads both pipes until both are closed, so neither can fill up and block the child.
void Drain(int out, int err, ProgramOutput& result) {
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProgramOutput RunFolioscribe(const std::vector<std::string>& args) {
  ProgramOutput result;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    close(err[0]);
    ExecProgram(args, out[1], err[1]);
  }
  close(out[1]);
  close(err[1]);
  Drain(out[0], err[0], result);
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
    result.status = WEXITSTATUS(status);
  return result;
}

std::string ProgramFolderForTest() {
  const std::string exe = FOLIOSCRIBE_EXE;
  return exe.substr(0, exe.rfind('/'));
}
