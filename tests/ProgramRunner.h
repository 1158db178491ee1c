#pragma once
#include <string>
#include <vector>

struct ProgramOutput {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs the built folioscribe with `args` and no display (DISPLAY and WAYLAND_DISPLAY
// removed), waits for it and returns what it printed.
ProgramOutput RunFolioscribe(const std::vector<std::string>& args);

// The folder of the built program, where its Profiles folder lies.
std::string ProgramFolderForTest();
