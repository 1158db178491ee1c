#include "log/LogLine.h"

#include <algorithm>
#include <charconv>

#include "common/Escape.h"
#include "common/Text.h"
#include "platform/Program.h"

namespace {

void AppendNumber(std::string& text, int64_t number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  text.append(digits, end);
}

}  // namespace

void LogLineMaker::Append(std::string& text, uint32_t counter, int32_t depth,
                          std::string_view message, const std::string& sourceFile, int32_t line) {
  AppendNumber(text, counter);
  AppendEscapedLine(message, text.append(":").append(std::max(depth, 0), ' '));
  text.append(Tail(sourceFile, line));
}

const std::string& LogLineMaker::Tail(const std::string& sourceFile, int32_t line) {
  const int64_t now = CurrentTime();
  if (now == tailSecond_ && line == tailLine_ && sourceFile == tailFile_) return tail_;
  if (now != timeSecond_) {
    // Formatting the time costs a time-zone check: once a second is enough.
    timeText_ = FormatLocalTime(now, "%d %b, %H:%M:%S");
    timeSecond_ = now;
  }
  tailSecond_ = now;
  tailFile_ = sourceFile;
  tailLine_ = line;
  tail_.assign(" (").append(timeText_).append(",File:").append(sourceFile).append(", Line:");
  AppendNumber(tail_, line);
  return tail_.append(")\r\n");
}
