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
