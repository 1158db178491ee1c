#pragma once
#include <regex.h>

#include <string>

// A POSIX extended regular expression, searched for anywhere in a text.
class RegularExpression {
 public:
  RegularExpression() = default;
  ~RegularExpression();
  RegularExpression(const RegularExpression&) = delete;
  RegularExpression& operator=(const RegularExpression&) = delete;
  RegularExpression(RegularExpression&& other) noexcept;
  RegularExpression& operator=(RegularExpression&&) = delete;

  // Compiles `pattern`; on failure returns false with the reason in `problem` and matches
  // nothing.
  bool Compile(const std::string& pattern, std::string& problem);
  bool Finds(const std::string& text) const;

 private:
  regex_t compiled_{};
  bool ready_ = false;
};
