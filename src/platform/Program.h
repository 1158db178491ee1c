#pragma once
#include <cstdint>
#include <string>

// Full path of the running executable.
std::string ProgramPath();
// The folder holding the executable, without a trailing separator.
std::string ProgramFolder();
// Seconds since 1970 now.
int64_t CurrentTime();
// The value of an environment variable; empty when unset.
std::string EnvironmentValue(const std::string& name);
