#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Makes the log's lines, "<counter>:<indent><message> (<08 Dec, 08:02:53>,File:<file>,
// Line:<line>)" and CR LF, the message escaped so that it stays one line. The part after the
// message is made again only when the second or the caller changes: runs of lines from one
// place share it. One caller at a time: the log's lock sees to it.
class LogLineMaker {
 public:
  // Appends the line to `text` in place: a large run logs hundreds of thousands of lines.
  void Append(std::string& text, uint32_t counter, int32_t depth, std::string_view message,
              const std::string& sourceFile, int32_t line);

 private:
  const std::string& Tail(const std::string& sourceFile, int32_t line);

  int64_t timeSecond_ = -1;  // the second of `timeText_`
  std::string timeText_;
  int64_t tailSecond_ = -1;  // the second, file and line of `tail_`
  std::string tailFile_;
  int32_t tailLine_ = 0;
  std::string tail_;
};
