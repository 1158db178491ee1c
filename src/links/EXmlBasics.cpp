#include "links/EXmlBasics.h"

#include <algorithm>

#include "common/Text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameChar(char a, char b, bool ignoreCase) {
  return ignoreCase ? ToLowerAscii(a) == ToLowerAscii(b) : a == b;
}

}  // namespace

template <class Pred>
void XmlCursor::SkipWhile(Pred pred) {
  start = pos;
  error = false;
  while (!PastEnd() && pred(Current())) ++pos;
  error = PastEnd();
}

void XmlCursor::SkipToWord() {
  SkipWhile([](char c) { return !IsXmlLetterOrDigit(c); });
}

void XmlCursor::SkipWord() { SkipWhile(IsXmlLetterOrDigit); }

void XmlCursor::SkipTo(char c) {
  start = pos;
  error = false;
  const size_t from = std::min(static_cast<size_t>(pos), text.size());
  const size_t found = text.find(c, from);
  pos = static_cast<int64_t>(found == std::string_view::npos ? text.size() : found);
  error = PastEnd();
}

void XmlCursor::SkipToText(std::string_view s, bool after, bool ignoreCase) {
  start = pos;
  error = false;
  const size_t from = std::min(static_cast<size_t>(pos), text.size());
  auto it = std::search(text.begin() + from, text.end(), s.begin(), s.end(),
                        [ignoreCase](char a, char b) { return SameChar(a, b, ignoreCase); });
  if (it == text.end() && !s.empty()) {
    error = true;
    return;
  }
  pos = (it - text.begin()) + (after ? static_cast<int64_t>(s.size()) : 0);
}

std::string_view XmlCursor::GetChars(int64_t n) {
  start = pos;
  error = false;
  std::string_view chars;
  if (!PastEnd()) chars = text.substr(static_cast<size_t>(pos), static_cast<size_t>(n));
  pos += n;
  return chars;
}

std::string_view XmlCursor::SpanText() const {
  const int64_t last = std::min(end, static_cast<int64_t>(text.size()) - 1);
  if (last < pos) return {};
  return text.substr(static_cast<size_t>(pos), static_cast<size_t>(last - pos + 1));
}

std::string_view XmlCursor::TextFrom(int64_t from) const {
  return text.substr(static_cast<size_t>(from), static_cast<size_t>(pos - from));
}

XmlCursor XmlCursor::LastSpan() const {
  XmlCursor span = *this;
  span.pos = start;
  span.end = pos;
  return span;
}

bool XmlCursor::MatchWord(std::string_view word, bool ignoreCase) {
  const int64_t saved = pos;
  for (char c : word) {
    if (PastEnd() || !SameChar(Current(), c, ignoreCase)) {
      pos = saved;
      return false;
    }
    ++pos;
  }
  if (IsXmlLetterOrDigit(Current()) || Current() == '_') {
    pos = saved;
    return false;
  }
  return true;
}

// A carriage return starts a line at column 0; a line feed is not counted.
XmlCursor::LinePosition XmlCursor::LinePositionOf(int64_t offset) {
  LinePosition at = offset < lastReported_.offset ? LinePosition() : lastReported_;
  for (; at.offset < offset; ++at.offset) {
    const char c = text[static_cast<size_t>(at.offset)];
    if (c == '\r') {
      ++at.line;
      at.column = 0;
    } else if (c != '\n') {
      ++at.column;
    }
  }
  lastReported_ = at;
  return at;
}

void XmlCursor::ReportError(const std::string& message) {
  const LinePosition at = LinePositionOf(std::clamp<int64_t>(pos, 0, static_cast<int64_t>(text.size())));
  errors += message + " at line: " + std::to_string(at.line) + ",pos: " + std::to_string(at.column) + "\r\n";
  error = true;
}

int64_t LineCounter::LineOf(int64_t offset) {
  const size_t to = static_cast<size_t>(std::clamp<int64_t>(offset, 0, static_cast<int64_t>(text_.size())));
  if (to < offset_) *this = LineCounter(text_);
  line_ += std::count(text_.begin() + static_cast<std::ptrdiff_t>(offset_),
                      text_.begin() + static_cast<std::ptrdiff_t>(to), '\n');
  offset_ = to;
  return line_;
}

bool ReadToken(XmlCursor& cursor, std::string_view& token, bool dotNumbers) {
  cursor.SkipWhitespace();
  if (cursor.PastEnd()) return false;
  const std::string_view text = cursor.text;
  const size_t from = static_cast<size_t>(cursor.pos);
  size_t end = from + 1;
  if (!IsXmlPunct(text[from]) || text[from] == '_') {
    bool allDigits = IsDigit(text[from]);
    for (; end < text.size(); ++end) {
      const char c = text[end];
      const bool ends =
          c == '.' ? !(dotNumbers && allDigits) : IsXmlSpace(c) || (IsXmlPunct(c) && c != '_');
      if (ends) break;
      allDigits = allDigits && IsDigit(c);
    }
  }
  cursor.pos = static_cast<int64_t>(end);
  cursor.error = cursor.PastEnd();
  token = text.substr(from, end - from);
  return true;
}

void GetToken(XmlCursor& cursor, std::string& token, bool dotNumbers) {
  std::string_view view;
  if (ReadToken(cursor, view, dotNumbers)) token = view;
}
