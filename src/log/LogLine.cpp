#include "log/LogLine.h"

#include <charconv>

#include "common/Escape.h"
#include "common/Text.h"
#include "platform/Program.h"

void LogLineMaker::Start(const std::string& sourceFile, int32_t line, std::span<const std::string_view> fixed) {
  fixed_.resize(fixed.size());
  for (size_t i = 0; i < fixed.size(); ++i) {
    fixed_[i].clear();
    AppendEscapedLine(fixed[i], fixed_[i]);
  }
  MakeTail(sourceFile, line);
}

void LogLineMaker::MakeTail(const std::string& sourceFile, int32_t line) {
  const int64_t now = CurrentTime();
  if (now == tailSecond_ && line == tailLine_ && sourceFile == tailFile_) return;
  if (now != timeSecond_) {
    // Formatting the time costs a time-zone check: once a second is enough.
    timeText_ = FormatLocalTime(now, "%d %b, %H:%M:%S");
    timeSecond_ = now;
  }
  tailSecond_ = now;
  tailFile_ = sourceFile;
  tailLine_ = line;
  tail_.assign(" (").append(timeText_).append(",File:").append(sourceFile).append(", Line:");
  tail_.append(std::to_string(line)).append(")\r\n");
}

void LogLineMaker::Append(std::string& text, uint32_t counter, int32_t depth,
                          std::span<const std::string_view> values) const {
  char head[16];
  char* end = std::to_chars(head, head + sizeof head, counter).ptr;
  *end++ = ':';
  text.append(head, end);
  if (depth > 0) text.append(static_cast<size_t>(depth), ' ');
  for (size_t i = 0; i < fixed_.size(); ++i) {
    text.append(fixed_[i]);
    AppendEscapedLine(values[i], text);
  }
  text.append(tail_);
}
