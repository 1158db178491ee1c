#include <algorithm>

#include "common/Text.h"
#include "links/EXmlBasics.h"
#include "log/TraceLog.h"

namespace {

bool Fail(XmlCursor& cursor, const std::string& message, bool& wasError) {
  cursor.ReportError(message);
  wasError = true;
  return false;
}

// Reads `quote`-delimited text behind the opening quote; false when it is not closed.
template <class Text>
bool ReadQuoted(XmlCursor& cursor, char quote, Text& value) {
  cursor.Advance();
  const int64_t from = cursor.pos;
  cursor.SkipTo(quote);
  if (cursor.error) return false;
  value = cursor.TextFrom(from);
  cursor.Advance();
  return true;
}

// An unquoted value runs to the next blank or ">", as browsers read it.
template <class Text>
void ReadUnquoted(XmlCursor& cursor, Text& value) {
  const int64_t from = cursor.pos;
  while (!cursor.PastEnd() && !IsXmlSpace(cursor.Current()) && !cursor.IsAt('>')) cursor.Advance();
  value = cursor.TextFrom(from);
}

// A bare name is a whole attribute when the next thing may start another one or end the tag.
bool EndsBareAttribute(const XmlCursor& cursor) {
  const char c = cursor.Current();
  return IsXmlAttributeNameChar(c) || c == '>' || c == '/';
}

// KXmlGetNextAttributeAndValue for texts (std::string) or, inside the reader, views into the
// cursor's text (std::string_view), which spare a copy of each name and value.
template <class Text>
bool ReadNextAttribute(XmlCursor& cursor, Text& name, Text& value, bool& wasError) {
  wasError = false;
  std::string_view token;
  ReadToken(cursor, token, true);
  if (token == ">" || token == "?" || token == "/") {
    --cursor.pos;  // stand on the character that ends the list, also at the end of the text
    return false;
  }
  if (cursor.PastEnd()) return false;
  if (!IsXmlAttributeNameChar(token[0]))
    return Fail(cursor, std::string("attribute name expected, was").append(token), wasError);
  const int64_t nameStart = cursor.pos - static_cast<int64_t>(token.size());
  while (!cursor.PastEnd() && IsXmlAttributeNameChar(cursor.Current())) cursor.Advance();
  if (cursor.PastEnd()) return false;
  name = cursor.TextFrom(nameStart);
  cursor.SkipWhitespace();
  if (cursor.PastEnd()) return false;
  if (!cursor.IsAt('=')) {
    if (!EndsBareAttribute(cursor)) return Fail(cursor, std::string("= expected, was ").append(name), wasError);
    value = std::string_view();
    return true;
  }
  cursor.Advance();
  cursor.SkipWhitespace();
  const char quote = cursor.Current();
  if (quote == '"' || quote == '\'') {
    wasError = !ReadQuoted(cursor, quote, value);
    return !wasError;
  }
  if (cursor.PastEnd() || quote == '>') return Fail(cursor, std::string("\" expected,was ").append(name), wasError);
  ReadUnquoted(cursor, value);
  return true;
}

// Most names and values hold no entity: they are passed on as they are, and only the others
// are decoded, into `buffer`.
std::string_view Decoded(std::string_view text, std::string& buffer) {
  if (text.find('&') == std::string_view::npos) return text;
  buffer = UnescapeProfileText(std::string(text));
  return buffer;
}

template <class Store>
bool ReadAttributes(XmlCursor& cursor, bool decode, Store store) {
  std::string_view name, value;
  std::string decodedName, decodedValue;
  bool wasError = false;
  while (ReadNextAttribute(cursor, name, value, wasError)) {
    if (decode) store(Decoded(name, decodedName), Decoded(value, decodedValue));
    else store(name, value);
  }
  return !wasError;
}

}  // namespace

void AttributeMap::Set(std::string_view name, std::string_view value) {
  const auto used = items_.begin() + static_cast<std::ptrdiff_t>(size_);
  const auto same =
      std::find_if(items_.begin(), used, [&](const auto& item) { return item.first == name; });
  if (same != used) {
    same->second = value;
    return;
  }
  if (size_ == items_.size()) items_.emplace_back();
  items_[size_].first = name;
  items_[size_].second = value;
  ++size_;
}

const std::string* AttributeMap::FindNoCase(std::string_view name) const {
  const auto used = items_.begin() + static_cast<std::ptrdiff_t>(size_);
  const auto found = std::find_if(items_.begin(), used,
                                  [&](const auto& item) { return EqualsNoCase(item.first, name); });
  return found == used ? nullptr : &found->second;
}

bool KXmlGetNextAttributeAndValue(XmlCursor& cursor, std::string& name, std::string& value,
                                  bool* wasError) {
  if (wasError == nullptr) {
    TraceLog::Instance().Write("", "EXmlBasics", __LINE__,
                               "Error:KXmlGetNextAttributeAndValue(), pbWasError==NULL",
                               LogDetail::kErrors);
    return false;
  }
  return ReadNextAttribute(cursor, name, value, *wasError);
}

bool ReadAttributeMap(XmlCursor& cursor, AttributeMap& map, bool decode) {
  return ReadAttributes(cursor, decode, [&map](std::string_view n, std::string_view v) { map.Set(n, v); });
}

bool ReadTagAttributes(XmlCursor& cursor, XmlTag& tag, bool decode) {
  return ReadAttributes(cursor, decode,
                        [&tag](std::string_view n, std::string_view v) { tag.SetAttribute(n, v); });
}

bool SkipAttributes(XmlCursor& cursor) {
  return ReadAttributes(cursor, false, [](std::string_view, std::string_view) {});
}
