#include "common/Text.h"
#include "links/EXmlBasics.h"

namespace {

void ReportClosingError(XmlCursor& cursor) {
  std::string message = "> expected, was: ";
  if (!cursor.PastEnd()) message += cursor.Current();
  cursor.ReportError(message);
}

// A tag name: a token, continued over "-", ":" and "." (my-el, svg:rect).
std::string_view ReadName(XmlCursor& cursor, std::string_view token) {
  if (token.empty() || !IsXmlLetterOrDigit(token[0])) return token;
  const int64_t from = cursor.pos - static_cast<int64_t>(token.size());
  while (IsXmlNameChar(cursor.Current())) cursor.Advance();
  return cursor.TextFrom(from);
}

bool ReadText(XmlCursor& cursor, XmlTag& tag, int64_t p0) {
  cursor.pos = p0;
  cursor.SkipTo('<');
  tag.kind = XmlTag::kText;
  tag.text = cursor.error ? std::string() : Trim(cursor.TextFrom(p0), " \t\n\r");
  return true;
}

bool ReadComment(XmlCursor& cursor, XmlTag& tag) {
  if (cursor.GetChars(3) != "!--") {
    cursor.ReportError("!-- expected (comment)");
    return false;
  }
  const int64_t from = cursor.pos;
  cursor.SkipToText("-->", false, false);
  if (cursor.error) {
    if (cursor.pos > 0) --cursor.pos;
    cursor.ReportError("--> expected (end of comment)");
    return false;
  }
  tag.text = cursor.TextFrom(from);
  tag.kind = XmlTag::kComment;
  cursor.pos += 3;
  return true;
}

bool ReadDeclaration(XmlCursor& cursor, XmlTag& tag) {
  tag.declaration = true;
  cursor.Advance();
  std::string token;
  GetToken(cursor, token, true);
  if (!EqualsNoCase(token, "xml")) {
    cursor.ReportError("?xml expected, not:?" + token);
    return false;
  }
  tag.SetTagName(token);
  cursor.SkipWhitespace();
  const bool bare = cursor.IsAt('?');
  if (!bare) ReadTagAttributes(cursor, tag, true);
  cursor.Advance();
  cursor.SkipWhitespace();
  if (!cursor.IsAt('>')) {
    ReportClosingError(cursor);
    if (bare) return false;
  }
  cursor.Advance();
  return true;
}

bool ReadElement(XmlCursor& cursor, XmlTag& tag, bool keepAttributes) {
  std::string_view token;
  ReadToken(cursor, token, true);
  if (token == "/") {
    tag.closing = true;
    ReadToken(cursor, token, true);
  }
  const std::string name(ReadName(cursor, token));
  tag.SetTagName(name);
  if (!tag.closing) {
    if (keepAttributes) ReadTagAttributes(cursor, tag, true);
    else SkipAttributes(cursor);
  } else {
    cursor.SkipWhitespace();
    if (!cursor.IsAt('>')) {
      cursor.ReportError("> expected, was: " + name);
      return false;
    }
  }
  if (cursor.IsAt('>')) {
    cursor.Advance();
  } else if (cursor.IsAt('/')) {
    cursor.SkipTo('>');
    cursor.Advance();
    tag.selfClosing = true;
  } else {
    ReportClosingError(cursor);
  }
  return true;
}

}  // namespace

std::string XmlTag::GetTagName() const {
  if (kind != kElement) return {};
  size_t i = text.find('=');
  if (i == std::string::npos) i = text.size();
  else {
    while (i > 0 && IsXmlSpace(text[i - 1])) --i;
    while (i > 0 && IsXmlAttributeNameChar(text[i - 1])) --i;
  }
  while (i > 0 && IsXmlSpace(text[i - 1])) --i;
  return text.substr(0, i);
}

void XmlTag::SetTagName(const std::string& name) {
  kind = kElement;
  const size_t current = GetTagName().size();
  text.replace(0, current, current == 0 && !text.empty() ? name + " " : name);
}

void XmlTag::SetAttribute(std::string_view name, std::string_view value) {
  size_t i = GetTagName().size();
  while (i < text.size()) {
    if (text[i] == '"') {
      i = text.find('"', i + 1);
      if (i == std::string::npos) break;
      ++i;
      continue;
    }
    const size_t from = i;
    while (i < text.size() && IsXmlAttributeNameChar(text[i])) ++i;
    if (i == from) {
      ++i;
      continue;
    }
    const size_t open = i + 1;
    const size_t close = open < text.size() ? text.find('"', open + 1) : std::string::npos;
    if (text.compare(i, 2, "=\"") == 0 && close != std::string::npos &&
        EqualsNoCase(text.substr(from, i - from), name)) {
      text.replace(open + 1, close - open - 1, value);
      return;
    }
  }
  text.append(" ").append(name).append("=\"").append(value).append("\"");
}

bool ReadTag(XmlCursor& cursor, XmlTag& tag, bool keepAttributes) {
  const int64_t p0 = cursor.pos;
  cursor.SkipWhitespace();
  if (cursor.PastEnd()) return false;
  if (!cursor.IsAt('<')) return ReadText(cursor, tag, p0);
  tag.closing = false;
  cursor.Advance();
  if (cursor.IsAt('!')) return ReadComment(cursor, tag);
  if (cursor.IsAt('?')) return ReadDeclaration(cursor, tag);
  return ReadElement(cursor, tag, keepAttributes);
}
