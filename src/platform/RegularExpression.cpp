#include "platform/RegularExpression.h"

RegularExpression::~RegularExpression() {
  if (ready_) regfree(&compiled_);
}

RegularExpression::RegularExpression(RegularExpression&& other) noexcept
    : compiled_(other.compiled_), ready_(other.ready_) {
  other.ready_ = false;
}

bool RegularExpression::Compile(const std::string& pattern, std::string& problem) {
  if (ready_) regfree(&compiled_);
  const int error = regcomp(&compiled_, pattern.c_str(), REG_EXTENDED | REG_NOSUB);
  ready_ = error == 0;
  if (!ready_) {
    char text[256];
    regerror(error, &compiled_, text, sizeof text);
    problem = text;
  }
  return ready_;
}

bool RegularExpression::Finds(const std::string& text) const {
  return ready_ && regexec(&compiled_, text.c_str(), 0, nullptr, 0) == 0;
}
