#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct ProgramOutput {
  int status = -1;  // exit status; -1 when the program did not exit normally
  int signal = 0;   // the signal that ended it, if one did
  std::string out;
  std::string err;
};

// How to start the program besides its arguments.
struct RunOptions {
  std::string folder;  // the working folder; empty keeps the test's
  std::vector<std::pair<std::string, std::string>> environment;  // set in the child
  std::vector<std::string> wrapper;  // runs the program under this, e.g. {"xvfb-run", "-a"}
  std::string program = FOLIOSCRIBE_EXE;
  uid_t user = static_cast<uid_t>(-1);  // runs as this user (and group of that number)
  bool errOnTerminal = false;  // standard error is a pseudo-terminal, not a pipe
};

// A started program whose output is read when it is waited for.
struct StartedProgram {
  pid_t pid = -1;
  int out = -1;
  int err = -1;
};

// Starts the program with `args` and no display (DISPLAY and WAYLAND_DISPLAY removed
// before `options.environment` is set).
StartedProgram StartFolioscribe(const std::vector<std::string>& args, const RunOptions& options = {});
// Reads what the program prints until it ends, and waits for it.
ProgramOutput WaitForFolioscribe(StartedProgram& program);
// Sends `signal` to the program once `ready` holds (or after a minute), then waits for it.
ProgramOutput StopFolioscribeWhen(StartedProgram& program, const std::function<bool()>& ready,
                                  int signal);
// Both: runs the program to its end and returns what it printed.
ProgramOutput RunFolioscribe(const std::vector<std::string>& args, const RunOptions& options = {});

// The folder of the built program, where its Profiles folder lies.
std::string ProgramFolderForTest();
