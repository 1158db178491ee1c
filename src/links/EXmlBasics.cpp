#include "links/EXmlBasics.h"

#include <algorithm>

#include "common/Text.h"

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameChar(char a, char b, bool ignoreCase) {
  return ignoreCase ? ToLowerAscii(a) == ToLowerAscii(b) : a == b;
}

}  // namespace

bool IsXmlSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsXmlPunct(char c) { return Byte(c) > ' ' && Byte(c) < 127 && !IsXmlLetterOrDigit(c); }

bool IsXmlLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         Byte(c) > 127;
}

bool IsXmlNameChar(char c) {
  return IsXmlLetterOrDigit(c) || c == '_' || c == '-' || c == ':' || c == '.';
}

bool IsXmlAttributeNameChar(char c) {
  // A switch, not a search of the list: this runs for every byte of every name.
  switch (c) {
    case '"': case '\'': case '>': case '/': case '=': case '<': return false;
    default: return !IsXmlSpace(c);
  }
}

template <class Pred>
void XmlCursor::SkipWhile(Pred pred) {
  start = pos;
  error = false;
  while (!PastEnd() && pred(Current())) ++pos;
  error = PastEnd();
}

void XmlCursor::SkipWhitespace() { SkipWhile(IsXmlSpace); }

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

void GetToken(XmlCursor& cursor, std::string& token, bool dotNumbers) {
  cursor.SkipWhitespace();
  if (cursor.PastEnd()) return;
  const int64_t s = cursor.pos;
  if (IsXmlPunct(cursor.Current()) && cursor.Current() != '_') {
    cursor.Advance();
  } else {
    bool allDigits = IsDigit(cursor.Current());
    while (cursor.Advance() && !cursor.PastEnd()) {
      const char c = cursor.Current();
      const bool ends =
          c == '.' ? !(dotNumbers && allDigits) : IsXmlSpace(c) || (IsXmlPunct(c) && c != '_');
      if (ends) break;
      allDigits = allDigits && IsDigit(c);
    }
  }
  token = cursor.TextFrom(s);
  cursor.error = cursor.PastEnd();
}
