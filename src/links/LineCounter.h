#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// Line numbers of positions in a text, counted only when a caller needs one: each call
// counts the line feeds from the position asked before, so positions asked in text order
// cost one pass over the text at most.
class LineCounter {
 public:
  explicit LineCounter(std::string_view text) : text_(text) {}
  // The line, from 1, of `offset` (clamped to the text); any order works.
  int64_t LineOf(int64_t offset);

 private:
  std::string_view text_;
  size_t offset_ = 0;  // the position asked before, on line line_
  int64_t line_ = 1;
};
