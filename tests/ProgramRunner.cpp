#include "ProgramRunner.h"

#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

[[noreturn]] void ExecProgram(const std::vector<std::string>& args, const RunOptions& options,
                              int out, int err) {
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
  if (!options.folder.empty() && chdir(options.folder.c_str()) != 0) _exit(126);
  const bool otherUser = options.user != static_cast<uid_t>(-1);
  if (otherUser && (setgroups(0, nullptr) != 0 || setgid(options.user) != 0 || setuid(options.user) != 0))
    _exit(126);
  std::vector<std::string> words = options.wrapper;
  words.push_back(options.program);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
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

StartedProgram StartFolioscribe(const std::vector<std::string>& args, const RunOptions& options) {
  StartedProgram started;
  int out[2], err[2];
  if (pipe(out) != 0) return started;
  // A terminal's ends: what the program writes to the second is read from the first.
  const bool errMade = options.errOnTerminal
                           ? openpty(&err[0], &err[1], nullptr, nullptr, nullptr) == 0
                           : pipe(err) == 0;
  if (!errMade) return started;
  started.pid = fork();
  if (started.pid == 0) {
    close(out[0]);
    close(err[0]);
    ExecProgram(args, options, out[1], err[1]);
  }
  close(out[1]);
  close(err[1]);
  started.out = out[0];
  started.err = err[0];
  return started;
}

ProgramOutput WaitForFolioscribe(StartedProgram& program) {
  ProgramOutput result;
  if (program.out < 0) return result;
  Drain(program.out, program.err, result);
  int status = 0;
  if (program.pid > 0 && waitpid(program.pid, &status, 0) == program.pid) {
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  }
  program = StartedProgram();
  return result;
}

ProgramOutput StopFolioscribeWhen(StartedProgram& program, const std::function<bool()>& ready,
                                  int signal) {
  for (int wait = 0; wait < 60000 && !ready(); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  kill(program.pid, signal);
  return WaitForFolioscribe(program);
}

ProgramOutput RunFolioscribe(const std::vector<std::string>& args, const RunOptions& options) {
  StartedProgram program = StartFolioscribe(args, options);
  return WaitForFolioscribe(program);
}

std::string ProgramFolderForTest() {
  const std::string exe = FOLIOSCRIBE_EXE;
  return exe.substr(0, exe.rfind('/'));
}
