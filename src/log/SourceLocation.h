#pragma once
#include <cstdint>
#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
using SourceLocation = std::source_location;
#else
// clang 14 with libstdc++ 12 lacks std::source_location; these builtins name the caller too.
class SourceLocation {
 public:
  static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                          uint_least32_t line = __builtin_LINE()) {
    return SourceLocation(file, line);
  }
  constexpr const char* file_name() const { return file_; }
  constexpr uint_least32_t line() const { return line_; }

 private:
  constexpr SourceLocation(const char* file, uint_least32_t line) : file_(file), line_(line) {}
  const char* file_;
  uint_least32_t line_;
};
#endif
