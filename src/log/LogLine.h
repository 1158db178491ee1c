#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Makes the log's lines, "<counter>:<indent><message> (<08 Dec, 08:02:53>,File:<file>,
// Line:<line>)" and CR LF, the message escaped so that it stays one line. Lines come in
// runs from one place, their messages of one form: fixed texts, each followed by a value.
// What a run shares is made once: the fixed texts escaped, and the part after the message,
// made again only when the second or the place changes. One caller at a time: the log's
// lock sees to it.
class LogLineMaker {
 public:
  // Starts a run of lines from `sourceFile` and `line`, made now, whose messages are
  // `fixed`[0], a value, `fixed`[1], a value, and so on.
  void Start(const std::string& sourceFile, int32_t line, std::span<const std::string_view> fixed);
  // Appends the line of `values` (one for each fixed text) to `text` in place: a large run
  // logs hundreds of thousands of lines. Each value is escaped on its own.
  void Append(std::string& text, uint32_t counter, int32_t depth, std::span<const std::string_view> values);

 private:
  void MakeTail(const std::string& sourceFile, int32_t line);
  // "<counter>:", made from the one before when the counter went one up, as it mostly does.
  std::string_view Head(uint32_t counter);

  std::vector<std::string> fixed_;  // escaped
  size_t fixedLength_ = 0;          // of them all
  int64_t timeSecond_ = -1;         // the second of `timeText_`
  std::string timeText_;
  int64_t tailSecond_ = -1;  // the second, file and line of `tail_`
  std::string tailFile_;
  int32_t tailLine_ = 0;
  std::string tail_;
  uint32_t headCounter_ = 0;  // the counter of `head_`
  std::string head_;
};
