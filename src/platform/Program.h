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
// The current working folder; empty when it cannot be read.
std::string CurrentFolder();
