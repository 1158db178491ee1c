#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small, forgiving reader for HTML and XML-like markup held in memory. Failures never stop
// the caller: they set `error`, append a message with line and column to `errors` and leave
// the cursor where the failure was seen.

// Character classes of single-byte text; bytes above 127 count as letters. Inline: the
// readers ask them for every byte.
inline bool IsXmlSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsXmlLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         static_cast<unsigned char>(c) > 127;
}
inline bool IsXmlPunct(char c) {
  return static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 127 && !IsXmlLetterOrDigit(c);
}
// Tag names: letters, digits and "_", "-", ":", "." (my-el, svg:rect).
inline bool IsXmlNameChar(char c) {
  return IsXmlLetterOrDigit(c) || c == '_' || c == '-' || c == ':' || c == '.';
}
// Attribute names as a browser reads them: any byte but white space and " ' > / = <, so
// @click, :href and _x are names too.
inline bool IsXmlAttributeNameChar(char c) {
  switch (c) {
    case '"': case '\'': case '>': case '/': case '=': case '<': return false;
    default: return !IsXmlSpace(c);
  }
}

// A position in a text the cursor does not own (the text must outlive the cursor).
struct XmlCursor {
  explicit XmlCursor(std::string_view text)
      : end(static_cast<int64_t>(text.size())), text(text) {}

  int64_t pos = 0;        // the cursor is past the end once pos > text length - 1
  int64_t end = 0;        // last character of SpanText, inclusive
  bool error = false;     // the last operation failed
  std::string_view text;
  int64_t start = 0;      // pos when the last search primitive began
  std::string errors;     // messages so far, each ended by "\r\n"

  bool PastEnd() const { return pos > static_cast<int64_t>(text.size()) - 1; }
  // The character at `pos`; '\0' past the end, which matches nothing.
  char Current() const { return PastEnd() ? '\0' : text[static_cast<size_t>(pos)]; }

  // Each search primitive marks `start` and clears `error` first.
  void SkipWhitespace() {
    start = pos;
    while (!PastEnd() && IsXmlSpace(text[static_cast<size_t>(pos)])) ++pos;
    error = PastEnd();
  }
  // Steps to the next `c`; error and past the end when there is none.
  void SkipTo(char c);
  // Moves to `s` (or behind it with `after`); error with pos unchanged when absent.
  void SkipToText(std::string_view s, bool after, bool ignoreCase);
  void SkipToWord();
  void SkipWord();
  // One step; false at the end. Inline: the readers call it for every byte.
  bool Advance() {
    if (PastEnd()) return false;
    ++pos;
    return true;
  }
  bool IsAt(char c) const { return Current() == c; }
  // Views into `text`, valid while it lives.
  // The next `n` characters (fewer at the end); pos moves by `n` unbounded.
  std::string_view GetChars(int64_t n);
  // The characters from pos through end; empty when end < pos.
  std::string_view SpanText() const;
  // The characters from `from` up to, not including, pos.
  std::string_view TextFrom(int64_t from) const;
  // A copy spanning the text passed over by the last primitive.
  XmlCursor LastSpan() const;
  // Consumes `word` when it stands here and no letter, digit or "_" follows; else stays.
  bool MatchWord(std::string_view word, bool ignoreCase);
  // Appends `message`, " at line: L,pos: C" and "\r\n" to `errors`; sets `error`.
  void ReportError(const std::string& message);

 private:
  // Line and column of a text position.
  struct LinePosition {
    int64_t offset = 0;
    int64_t line = 1;
    int64_t column = 1;
  };

  template <class Pred>
  void SkipWhile(Pred pred);
  LinePosition LinePositionOf(int64_t offset);

  // The last position reported, so many errors in a long text cost one pass, not one each.
  LinePosition lastReported_;
};

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

// Reads one token: a punctuation character or a word ("_" and bytes above 127 are word
// characters; with `dotNumbers` a "." inside a number belongs to it). At the end the token
// is left unchanged and error is set.
void GetToken(XmlCursor& cursor, std::string& token, bool dotNumbers);
// The same as a view into the cursor's text; false at the end, `token` unchanged.
bool ReadToken(XmlCursor& cursor, std::string_view& token, bool dotNumbers);

// Attributes in the order read; a later attribute of the same exact name replaces the value.
class AttributeMap {
 public:
  void Set(std::string_view name, std::string_view value);
  // The first attribute whose name equals `name` ignoring case; nullptr when none.
  const std::string* FindNoCase(std::string_view name) const;
  size_t Size() const { return size_; }
  // Empties the map, keeping its texts' room for the next tag.
  void Clear() { size_ = 0; }

 private:
  std::vector<std::pair<std::string, std::string>> items_;  // the first size_ are in use
  size_t size_ = 0;
};

// Reads the next attribute: name="v", name='v', name=v or a bare name (empty value).
// Returns false at the end of the list (then *wasError tells an error from ">", "/", "?").
bool KXmlGetNextAttributeAndValue(XmlCursor& cursor, std::string& name, std::string& value,
                                  bool* wasError);

// One item read by ReadTag.
struct XmlTag {
  enum Kind : int32_t { kNone = 0, kComment = 2, kElement = 3, kText = 4 };
  int32_t kind = kNone;
  bool closing = false;
  bool declaration = false;
  bool selfClosing = false;
  // Text items trimmed, comments verbatim, elements canonical: name then ` attr="value"`.
  std::string text;

  std::string GetTagName() const;
  void SetTagName(const std::string& name);
  // Replaces the value of the attribute `name` (ignoring case) or appends it.
  void SetAttribute(std::string_view name, std::string_view value);
};

// Reads attributes until the list ends; false when it ended with an error (what was read
// before stays). With `decode`, names and values are entity-decoded.
bool ReadAttributeMap(XmlCursor& cursor, AttributeMap& map, bool decode);
bool ReadTagAttributes(XmlCursor& cursor, XmlTag& tag, bool decode);
// Reads past the attributes as the two above do, keeping none.
bool SkipAttributes(XmlCursor& cursor);

// Reads text, a comment, the XML declaration or an element into `tag`; false when nothing
// could be read. Without `keepAttributes` an element's attributes are read past, not
// stored, for callers that need only its name.
bool ReadTag(XmlCursor& cursor, XmlTag& tag, bool keepAttributes = true);
