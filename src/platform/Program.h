#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// Full path of the running executable.
std::string ProgramPath();
// The folder holding the executable, without a trailing separator.
std::string ProgramFolder();
// Seconds since 1970 now.
int64_t CurrentTime();
// The steady clock's time to within a few milliseconds, at a fraction of the cost of
// steady_clock::now(): for intervals checked very often.
std::chrono::steady_clock::time_point CoarseSteadyTime();
// The value of an environment variable; empty when unset.
std::string EnvironmentValue(const std::string& name);
// Whether standard error goes to a terminal (not a file or a pipe).
bool StandardErrorIsTerminal();
// The current working folder; empty when it cannot be read.
std::string CurrentFolder();

// Where the program keeps its files. Portable when a "Profiles" folder lies beside the
// program: everything beside it. Otherwise the places Linux keeps them, the installed
// files found from the program's own place (<prefix>/bin), so a moved install works.
struct DataFolders {
  bool portable = false;
  std::string userProfiles;    // beside the program, or $XDG_CONFIG_HOME/folioscribe/profiles
  std::string sampleProfiles;  // <prefix>/share/folioscribe/profiles; empty when portable
  std::string logs;            // "LOGS" beside the program, or $XDG_STATE_HOME/folioscribe/logs
  std::string help;            // "help" beside the program, or <prefix>/share/folioscribe/help
};
DataFolders ProgramDataFolders();
// Where the program keeps what it may lose: $XDG_CACHE_HOME/folioscribe (~/.cache/folioscribe).
std::string UserCacheFolder();
