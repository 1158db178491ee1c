#include "links/LinkExtraction.h"

namespace {

void SkipToEnd(XmlCursor& cursor) { cursor.pos = static_cast<int64_t>(cursor.text.size()); }

// Behind "<": passes over a comment or a script or style element; false when there is none.
bool SkipHiddenContent(XmlCursor& cursor) {
  if (cursor.text.substr(static_cast<size_t>(cursor.pos)).starts_with("!--")) {
    // Searching from the first "-" also ends the empty comments "<!-->" and "<!--->".
    ++cursor.pos;
    cursor.SkipToText("-->", true, false);
    if (cursor.error) SkipToEnd(cursor);
    return true;
  }
  for (const char* element : {"script", "style"}) {
    if (cursor.MatchWord(element, true)) {
      cursor.SkipToText(std::string("</") + element, false, true);
      if (cursor.error) SkipToEnd(cursor);
      return true;
    }
  }
  return false;
}

// Reads the items inside an anchor up to and including its closing tag.
bool ReadAnchorText(XmlCursor& cursor, std::string& text, bool ignoreErrors) {
  while (!cursor.PastEnd()) {
    XmlTag tag;
    if (!ReadTag(cursor, tag) && !ignoreErrors) return false;
    if (tag.closing && XmlEqualsNoCase(tag.GetTagName(), "a")) break;
    if (tag.kind == XmlTag::kText) text += tag.text;
  }
  return true;
}

// Behind "<a": reads the attributes and the text of one anchor.
bool ReadAnchor(XmlCursor& cursor, std::vector<LinkInfo>& links, bool ignoreErrors) {
  AttributeMap attributes;
  if (!ReadAttributeMap(cursor, attributes, true) && !ignoreErrors) return false;
  cursor.Advance();
  LinkInfo link;
  if (!ReadAnchorText(cursor, link.text, ignoreErrors)) return false;
  const std::string* href = attributes.FindNoCase("href");
  if (href == nullptr) return true;  // a named anchor is no link
  const std::string* title = attributes.FindNoCase("title");
  link.href = *href;
  if (title != nullptr) link.title = *title;
  links.push_back(std::move(link));
  return true;
}

}  // namespace

bool ExtractLinks(XmlCursor& cursor, std::vector<LinkInfo>& links, bool ignoreErrors) {
  while (!cursor.PastEnd()) {
    cursor.SkipTo('<');
    if (!cursor.Advance()) break;
    cursor.SkipWhitespace();
    if (SkipHiddenContent(cursor) || !cursor.MatchWord("a", true)) continue;
    // The scan goes on right behind the closing tag, so an anchor that follows it
    // directly is found too.
    if (!ReadAnchor(cursor, links, ignoreErrors)) return false;
  }
  return true;
}
