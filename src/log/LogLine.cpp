#include "log/LogLine.h"

#include <algorithm>
#include <charconv>

#include "common/Escape.h"
#include "common/Text.h"
#include "platform/Program.h"

void LogLineMaker::Start(const std::string& sourceFile, int32_t line, std::span<const std::string_view> fixed) {
  fixed_.resize(fixed.size());
  fixedLength_ = 0;
  for (size_t i = 0; i < fixed.size(); ++i) {
    fixed_[i].clear();
    AppendEscapedLine(fixed[i], fixed_[i]);
    fixedLength_ += fixed_[i].size();
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
                          std::span<const std::string_view> values) {
  const std::string_view head = Head(counter);
  const size_t indent = static_cast<size_t>(std::max(depth, 0));
  size_t length = head.size() + indent + fixedLength_ + tail_.size();
  bool plain = true;
  for (const std::string_view value : values) {
    length += value.size();
    plain = plain && IsPlainAscii(value);
  }
  if (!plain) {
    text.append(head).append(indent, ' ');
    for (size_t i = 0; i < fixed_.size(); ++i) AppendEscapedLine(values[i], text.append(fixed_[i]));
    text.append(tail_);
    return;
  }
  // Nearly every line: its length is known, so the text grows once and the parts are copied in.
  const size_t start = text.size();
  text.resize(start + length);
  char* out = text.data() + start;
  const auto copy = [&out](std::string_view part) { out = std::copy(part.begin(), part.end(), out); };
  copy(head);
  out = std::fill_n(out, indent, ' ');
  for (size_t i = 0; i < fixed_.size(); ++i) {
    copy(fixed_[i]);
    copy(values[i]);
  }
  copy(tail_);
}

std::string_view LogLineMaker::Head(uint32_t counter) {
  if (counter != headCounter_ + 1 || counter == 0 || head_.empty()) {
    char digits[16];
    head_.assign(digits, std::to_chars(digits, digits + sizeof digits, counter).ptr) += ':';
  } else {
    // One up from the counter before: the last digits that were 9 become 0, the one before
    // them goes up, or a 1 goes in front.
    size_t digit = head_.size() - 1;
    while (digit > 0 && head_[digit - 1] == '9') head_[--digit] = '0';
    if (digit == 0) head_.insert(head_.begin(), '1');
    else ++head_[digit - 1];
  }
  headCounter_ = counter;
  return head_;
}
