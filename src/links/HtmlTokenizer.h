#pragma once
#include <cstdint>
#include <string>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "links/TagSkip.h"

// One attribute of a start tag: the name in lower case, the value with its character
// references decoded.
struct HtmlAttribute {
  std::string name;
  std::string value;
};

// One token of a page as a browser's tokenizer cuts it.
struct HtmlToken {
  enum class Kind { kStartTag, kEndTag, kText, kComment };
  Kind kind = Kind::kText;
  int64_t offset = 0;      // of its first byte in the page
  std::string_view name;   // tags: lower case; valid until the next token is read
  bool selfClosing = false;
  std::string_view text;   // text as written (references not decoded), or a comment's content
  bool rawText = false;    // text of script, style, xmp, iframe, noembed, noframes, plaintext:
                           // no references in it
  // Start tags: the first attribute of each name, in the order written.
  std::span<const HtmlAttribute> Attributes() const { return {attributes_.data(), attributeCount_}; }
  // The value of the attribute `name` (lower case); nullptr when the tag has none.
  const std::string* Attribute(std::string_view name) const;

 private:
  friend class HtmlTokenizer;
  std::vector<HtmlAttribute> attributes_;  // the first attributeCount_ are in use, the rest kept room
  size_t attributeCount_ = 0;
};

// Reads a page token by token, in one linear pass, as a browser's tokenizer does
// where links depend on it: tags and their attributes, comments (and "<!...>", "<?...>",
// "</ x>" as comments), and the elements whose content holds no tags (script, style,
// textarea, title, xmp, iframe, noembed, noframes, plaintext). Text runs between markup
// may come as several tokens. The page must outlive the tokenizer.
class HtmlTokenizer {
 public:
  explicit HtmlTokenizer(std::string_view page) : page_(page) {}
  // Keeps the attributes only of the start tags whose name `keeps` holds: a reader that
  // needs a few elements' attributes spares decoding and copying the others. `sketches`
  // holds the sketch of every name `keeps` holds: the others are passed over unasked.
  void KeepAttributesOf(bool (*keeps)(std::string_view element), const NameSketches& sketches);
  // Of those, keeps only the attributes whose (lower-case) name `keeps` holds; the first of
  // each name still counts. `sketches` holds the sketch of every name `keeps` holds: the
  // others are dropped unasked.
  void KeepAttributesNamed(bool (*keeps)(std::string_view attribute), const NameSketches& sketches) {
    keepsNamed_ = keeps;
    namedSketches_ = sketches;
  }
  // Starts as if the start tag of `element` had just been read (for a raw-text element, its
  // content follows).
  void StartInside(std::string_view element);
  // The next token; false at the end of the page.
  bool Next(HtmlToken& token);
  // The next start tag whose attributes are kept, as Next finds it; the tokens between are
  // passed over. False at the end of the page.
  bool NextKeptStartTag(HtmlToken& token);

 private:
  bool StartsMarkup(size_t at) const;
  bool ReadMarkup(HtmlToken& token);
  bool PassShortEndTag();
  bool ReadText(HtmlToken& token);
  size_t TextEnd() const;
  bool ReadsKeptStartTag(HtmlToken& token, const PassedTag& window);
  bool ReadTag(HtmlToken& token, bool closing);
  PassedTag LookAtTag(bool closing, bool onward) const;
  bool ReadTag(HtmlToken& token, bool closing, const PassedTag& window);
  void ReadComment(HtmlToken& token);
  void ReadBogusComment(HtmlToken& token, size_t from);
  bool PassAttributes(HtmlToken& token, const char* tag, int nameStart);
  template <bool kKeep>
  bool ReadAttributes(HtmlToken& token);
  void AddAttribute(HtmlToken& token, std::string_view name, std::string_view value);
  bool ReadRawText(HtmlToken& token);
  size_t RawTextEnd() const;
  size_t ScriptEnd() const;
  bool IsRawElementTag(size_t at, std::string_view prefix) const;
  static NameSketches AllSketches();

  std::string_view page_;
  size_t pos_ = 0;
  std::string rawElement_;  // the raw-text element whose content comes next, if any
  bool plainText_ = false;  // the rest of the page is text
  bool attributesKept_ = false;  // of the last tag read
  bool (*keeps_)(std::string_view element) = nullptr;  // all when null
  bool (*keepsNamed_)(std::string_view attribute) = nullptr;  // all when null
  NameSketches namedSketches_{};  // of the names keepsNamed_ holds
  PassPlainTag passPlainTag_ = PassPlainTagHere();
  NameSketches lookedAt_ = AllSketches();  // of the start tags not passed over unasked
  size_t nextOpen_ = 0;  // the "<" next after the tag last passed over, when it was seen; else 0
  std::string lowerCaseName_;  // the name of a tag written with capitals, in lower case
  std::string lowerCaseAttribute_;  // the same for an attribute
  std::unordered_set<std::string> seen_;  // the attribute names of a tag with many
};

// Elements whose content is text up to their end tag: script, style, textarea, title, xmp,
// iframe, noembed, noframes. Only in textarea and title are references decoded.
bool IsRawTextElement(std::string_view name);
bool DecodesReferences(std::string_view element);

// True for the token that ends the head of a page: "</head>" or "<body>".
inline bool EndsHead(const HtmlToken& token) {
  return (token.kind == HtmlToken::Kind::kEndTag && token.name == "head") ||
         (token.kind == HtmlToken::Kind::kStartTag && token.name == "body");
}
