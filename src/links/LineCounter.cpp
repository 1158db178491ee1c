#include "links/LineCounter.h"

#include <algorithm>

int64_t LineCounter::LineOf(int64_t offset) {
  const size_t to = static_cast<size_t>(std::clamp<int64_t>(offset, 0, static_cast<int64_t>(text_.size())));
  if (to < offset_) *this = LineCounter(text_);
  line_ += std::count(text_.begin() + static_cast<std::ptrdiff_t>(offset_),
                      text_.begin() + static_cast<std::ptrdiff_t>(to), '\n');
  offset_ = to;
  return line_;
}
