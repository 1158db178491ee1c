#include "common/TextBuffer.h"

#include <algorithm>

#include "common/Text.h"

int64_t TextBuffer::FindFrom(const std::string& what, int64_t start, bool ignoreCase) const {
  if (start < 0 || start > static_cast<int64_t>(text_.size())) return -1;
  if (ignoreCase) return FindNoCase(text_, what, static_cast<size_t>(start));
  const size_t found = text_.find(what, start);
  return found == std::string::npos ? -1 : static_cast<int64_t>(found);
}

int64_t TextBuffer::ReplaceFirst(const std::string& what, const std::string& replacement,
                                 bool ignoreCase, int64_t start) {
  const int64_t found = FindFrom(what, start, ignoreCase);
  if (found >= 0) text_.replace(found, what.size(), replacement);
  return found;
}

int64_t TextBuffer::ReplaceAll(const std::string& what, const std::string& replacement,
                               bool ignoreCase) {
  // An empty search text would match everywhere without end.
  if (what.empty()) return 0;
  int64_t count = 0;
  int64_t start = 0;
  int64_t found;
  while ((found = ReplaceFirst(what, replacement, ignoreCase, start)) >= 0) {
    ++count;
    start = found + static_cast<int64_t>(replacement.size());
  }
  return count;
}

TextBuffer TextBuffer::Mid(int64_t first, int64_t last) const {
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, static_cast<int64_t>(text_.size()) - 1);
  if (first > last) return TextBuffer();
  return TextBuffer(text_.substr(first, last - first + 1));
}

void TextBuffer::AppendNumber(int64_t number) { text_ += std::to_string(number); }
