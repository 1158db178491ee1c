#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "log/SourceLocation.h"

// Times a block: writes "Entering: <function>" now and "Leaving: <function> [<ms> ms]"
// when destroyed, indenting the thread's lines one deeper in between.
class TraceScope {
 public:
  TraceScope(std::string thread, std::string function, std::string sourceFile, int32_t line);
  explicit TraceScope(std::string function,
                      SourceLocation where = SourceLocation::current());
  ~TraceScope();
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

 private:
  bool active_ = false;
  std::string thread_, function_, sourceFile_;
  int32_t line_ = 0;
  std::chrono::steady_clock::time_point start_;
};

// "%G" form of a duration in milliseconds: 15 -> "15", 1234567.8 -> "1.23457E+06".
std::string FormatMilliseconds(double milliseconds);
