#include "links/LinkExtraction.h"

#include <utility>

#include "common/Text.h"

namespace {

// What a "<" starts, as far as links go.
enum class Markup { kHidden, kAnchor, kOther };

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

// Whether markup whose name begins with `c` may be hidden content or an anchor: most
// markup is told apart by this one look.
bool MayHideOrLink(char c) {
  switch (c) {
    case '!': case 's': case 'S': case 'a': case 'A': return true;
    default: return false;
  }
}

// On a "<": passes over hidden content, or over "<a" of an anchor; otherwise stays.
Markup ReadMarkupStart(XmlCursor& cursor) {
  const int64_t open = cursor.pos;
  cursor.Advance();
  cursor.SkipWhitespace();
  if (!MayHideOrLink(cursor.Current())) {
    cursor.pos = open;
    return Markup::kOther;
  }
  if (SkipHiddenContent(cursor)) return Markup::kHidden;
  if (cursor.MatchWord("a", true)) return Markup::kAnchor;
  cursor.pos = open;
  return Markup::kOther;
}

// Steps over the ">" that ended the attribute list, or over the character where an error
// was seen; a browser ignores the "/" of "<a href=x/>" and keeps the anchor open.
void SkipAttributeListEnd(XmlCursor& cursor) {
  if (cursor.text.substr(static_cast<size_t>(cursor.pos)).starts_with("/>")) cursor.Advance();
  cursor.Advance();
}

// True on "</a>", the end of most anchors, which needs no tag read.
bool AtPlainAnchorEnd(const XmlCursor& cursor) {
  const std::string_view rest = cursor.text.substr(static_cast<size_t>(cursor.pos));
  return rest.size() >= 4 && rest.starts_with("</") && ToLowerAscii(rest[2]) == 'a' && rest[3] == '>';
}

// Reads the items inside an anchor up to and including its closing tag, into `text` when
// given. A browser closes the anchor where the next one begins: the cursor then stays on
// that anchor's "<".
bool ReadAnchorText(XmlCursor& cursor, std::string* text, bool ignoreErrors) {
  while (!cursor.PastEnd()) {
    cursor.SkipWhitespace();
    const int64_t itemStart = cursor.pos;
    if (AtPlainAnchorEnd(cursor)) {
      cursor.pos += 4;
      break;
    }
    if (cursor.IsAt('<')) {
      const Markup markup = ReadMarkupStart(cursor);
      if (markup == Markup::kHidden) continue;
      if (markup == Markup::kAnchor) {
        cursor.pos = itemStart;
        break;
      }
    } else if (text == nullptr && !cursor.PastEnd()) {
      cursor.SkipTo('<');  // where reading the text item would end
      continue;
    }
    XmlTag tag;
    if (!ReadTag(cursor, tag, false) && !ignoreErrors) return false;
    if (tag.closing && EqualsNoCase(tag.GetTagName(), "a")) break;
    if (tag.kind == XmlTag::kText && text != nullptr) *text += tag.text;
  }
  return true;
}

// Behind "<a", whose "<" is at `open`: reads the attributes, into `attributes` (reused from
// anchor to anchor), and the text of one anchor, which goes to `sink` through `link`.
bool ReadAnchor(XmlCursor& cursor, int64_t open, AttributeMap& attributes, LinkInfo& link,
                const LinkSink& sink, bool ignoreErrors, AnchorDetail detail) {
  attributes.Clear();
  if (!ReadAttributeMap(cursor, attributes, true) && !ignoreErrors) return false;
  SkipAttributeListEnd(cursor);
  const bool all = detail == AnchorDetail::kWithTitleAndText;
  link.text.clear();
  const bool read = ReadAnchorText(cursor, all ? &link.text : nullptr, ignoreErrors);
  const std::string* href = attributes.FindNoCase("href");
  // A named anchor is no link, nor is one read in vain.
  if (!read || href == nullptr) return read;
  link.href = *href;
  link.offset = open;
  const std::string* title = all ? attributes.FindNoCase("title") : nullptr;
  if (title != nullptr) link.title = *title;
  else link.title.clear();
  sink(link);
  return true;
}

}  // namespace

bool ExtractLinks(XmlCursor& cursor, std::vector<LinkInfo>& links, bool ignoreErrors,
                  AnchorDetail detail) {
  return ExtractLinks(cursor, [&](const LinkInfo& link) { links.push_back(link); }, ignoreErrors, detail);
}

bool ExtractLinks(XmlCursor& cursor, const LinkSink& sink, bool ignoreErrors, AnchorDetail detail) {
  AttributeMap attributes;
  LinkInfo link;
  for (cursor.SkipTo('<'); !cursor.PastEnd(); cursor.SkipTo('<')) {
    // The scan goes on right behind an anchor's closing tag, so an anchor that follows it
    // directly is found too.
    const int64_t open = cursor.pos;
    const Markup markup = ReadMarkupStart(cursor);
    if (markup == Markup::kOther) cursor.Advance();
    if (markup == Markup::kAnchor && !ReadAnchor(cursor, open, attributes, link, sink, ignoreErrors, detail))
      return false;
  }
  return true;
}

void ExtractFragmentTargets(XmlCursor& cursor, std::vector<std::string>& names) {
  AttributeMap attributes;
  for (cursor.SkipTo('<'); !cursor.PastEnd(); cursor.SkipTo('<')) {
    cursor.Advance();
    // Closing tags, declarations and a lone "<" hold no names.
    if (SkipHiddenContent(cursor) || !IsXmlLetterOrDigit(cursor.Current())) continue;
    const bool anchor = cursor.MatchWord("a", true);
    while (IsXmlNameChar(cursor.Current())) cursor.Advance();
    attributes.Clear();
    ReadAttributeMap(cursor, attributes, true);
    if (const std::string* id = attributes.FindNoCase("id")) names.push_back(*id);
    const std::string* name = anchor ? attributes.FindNoCase("name") : nullptr;
    if (name != nullptr) names.push_back(*name);
  }
}
