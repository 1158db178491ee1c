#pragma once
#include <ostream>
#include <string>
#include <vector>

// Exit statuses of the program.
inline constexpr int kExitWritten = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitCannotStart = 2;

// The headless front end: parses `args` (without the program name), handles --help and
// --version, loads the profile, runs once when asked, prints the report when asked.
// Messages go to `err` as "folioscribe: <text>" lines. Returns the exit status.
int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// RunHeadless on the process's standard output and error. A run whose standard output
// could not be written fails, saying why, whatever it would have returned.
int RunHeadlessOnConsole(const std::vector<std::string>& args);
