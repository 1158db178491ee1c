#include "links/HtmlTokenizer.h"

#include <algorithm>
#include <array>

#include "common/HtmlEntities.h"
#include "common/Text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The bytes that end a tag or attribute name, looked up: names are read byte by byte.
constexpr std::array<bool, 256> kEndsName = [] {
  std::array<bool, 256> ends{};
  for (unsigned char c : {' ', '\t', '\n', '\f', '\r', '/', '>'}) ends[c] = true;
  return ends;
}();
bool EndsName(char c) { return kEndsName[static_cast<unsigned char>(c)]; }

// A tag with more attributes than this finds duplicates through a set, not a look at each.
constexpr size_t kFewAttributes = 16;

}  // namespace

bool IsRawTextElement(std::string_view name) {
  for (std::string_view raw : {"title", "textarea", "script", "style", "xmp", "iframe", "noembed", "noframes"})
    if (name == raw) return true;
  return false;
}
bool DecodesReferences(std::string_view element) { return element == "title" || element == "textarea"; }

const std::string* HtmlToken::Attribute(std::string_view name) const {
  for (const HtmlAttribute& attribute : Attributes())
    if (attribute.name == name) return &attribute.value;
  return nullptr;
}

void HtmlTokenizer::StartInside(std::string_view element) {
  plainText_ = element == "plaintext";
  rawElement_.assign(IsRawTextElement(element) ? element : "");
}

bool HtmlTokenizer::Next(HtmlToken& token) {
  while (pos_ < page_.size()) {
    token.rawText = false;
    token.offset = static_cast<int64_t>(pos_);
    if (plainText_) {
      token.kind = HtmlToken::Kind::kText;
      token.rawText = true;
      token.text = page_.substr(pos_);
      pos_ = page_.size();
      return true;
    }
    if (!rawElement_.empty() ? ReadRawText(token) : StartsMarkup(pos_) ? ReadMarkup(token) : ReadText(token))
      return true;
  }
  return false;
}

// A "<" followed by a letter, "!", "?" or "/" and something.
bool HtmlTokenizer::StartsMarkup(size_t at) const {
  if (at + 1 >= page_.size() || page_[at] != '<') return false;
  const char c = page_[at + 1];
  return IsAsciiLetter(c) || c == '!' || c == '?' || (c == '/' && at + 2 < page_.size());
}

bool HtmlTokenizer::ReadText(HtmlToken& token) {
  size_t end = pos_ + 1;
  while ((end = std::min(page_.find('<', end), page_.size())) < page_.size() && !StartsMarkup(end)) ++end;
  token.kind = HtmlToken::Kind::kText;
  token.text = page_.substr(pos_, end - pos_);
  pos_ = end;
  return true;
}

bool HtmlTokenizer::ReadMarkup(HtmlToken& token) {
  const char c = page_[pos_ + 1];
  if (c == '!') {
    if (page_.substr(pos_ + 2, 2) == "--") ReadComment(token);
    else ReadBogusComment(token, pos_ + 2);
    return true;
  }
  if (c == '?') {
    ReadBogusComment(token, pos_ + 1);
    return true;
  }
  if (c != '/') return ReadTag(token, false);
  const char after = page_[pos_ + 2];
  if (IsAsciiLetter(after)) return ReadTag(token, true);
  if (after == '>') {  // "</>" is nothing at all
    pos_ += 3;
    return false;
  }
  ReadBogusComment(token, pos_ + 2);
  return true;
}

// Ends at the first "-->" or "--!>"; "<!-->" and "<!--->" are empty comments. Cut short by
// the end of the page, it keeps what it holds but the dashes of its unfinished end.
void HtmlTokenizer::ReadComment(HtmlToken& token) {
  token.kind = HtmlToken::Kind::kComment;
  const size_t from = pos_ + 4;
  const std::string_view rest = page_.substr(from);
  for (std::string_view empty : {">", "->"}) {
    if (rest.starts_with(empty)) {
      token.text = {};
      pos_ = from + empty.size();
      return;
    }
  }
  for (size_t dashes = rest.find("--"); dashes != std::string_view::npos; dashes = rest.find("--", dashes + 1)) {
    const std::string_view end = rest.substr(dashes + 2, 2);
    if (end.starts_with('>') || end == "!>") {
      token.text = rest.substr(0, dashes);
      pos_ = from + dashes + 2 + (end.starts_with('>') ? 1 : 2);
      return;
    }
  }
  std::string_view text = rest;
  for (std::string_view unfinished : {"--!", "--", "-"}) {
    if (text.ends_with(unfinished)) {
      text.remove_suffix(unfinished.size());
      break;
    }
  }
  token.text = text;
  pos_ = page_.size();
}

void HtmlTokenizer::ReadBogusComment(HtmlToken& token, size_t from) {
  token.kind = HtmlToken::Kind::kComment;
  const size_t end = std::min(page_.find('>', from), page_.size());
  token.text = page_.substr(from, end - from);
  pos_ = std::min(end + 1, page_.size());
}

// A tag cut short by the end of the page is no tag.
bool HtmlTokenizer::ReadTag(HtmlToken& token, bool closing) {
  token.kind = closing ? HtmlToken::Kind::kEndTag : HtmlToken::Kind::kStartTag;
  token.selfClosing = false;
  token.attributeCount_ = 0;
  pos_ += closing ? 2 : 1;
  ReadName(&token.name, false);
  if (!ReadAttributes(token, !closing && (keeps_ == nullptr || keeps_(token.name)))) {
    pos_ = page_.size();
    return false;
  }
  if (closing) {
    token.attributeCount_ = 0;
  } else if (token.name == "plaintext") {
    plainText_ = true;
  } else if (IsRawTextElement(token.name)) {
    rawElement_ = token.name;
  }
  return true;
}

// An attribute name ends at "=" too, unless it begins with one. Into `name` when given.
void HtmlTokenizer::ReadName(std::string* name, bool attribute) {
  const size_t from = pos_;
  if (attribute && pos_ < page_.size() && page_[pos_] == '=') ++pos_;
  const char equals = attribute ? '=' : '>';  // ">" ends every name anyway
  while (pos_ < page_.size() && !EndsName(page_[pos_]) && page_[pos_] != equals) ++pos_;
  if (name == nullptr) return;
  name->assign(page_.substr(from, pos_ - from));
  for (char& c : *name) c = ToLowerAscii(c);
}

void HtmlTokenizer::SkipBlanks() {
  while (pos_ < page_.size() && IsBlank(page_[pos_])) ++pos_;
}

// Behind the tag name, through its ">", keeping the attributes or not; false when the page
// ends first.
bool HtmlTokenizer::ReadAttributes(HtmlToken& token, bool keep) {
  seen_.clear();
  for (;;) {
    SkipBlanks();
    if (pos_ >= page_.size()) return false;
    const char c = page_[pos_];
    if (c == '>') {
      ++pos_;
      return true;
    }
    if (c == '/') {
      ++pos_;
      if (pos_ < page_.size() && page_[pos_] == '>') {
        token.selfClosing = true;
        ++pos_;
        return true;
      }
      continue;
    }
    if (!ReadAttribute(token, keep)) return false;
  }
}

// One attribute: a name, then "=" and a value or none.
bool HtmlTokenizer::ReadAttribute(HtmlToken& token, bool keep) {
  ReadName(keep ? &name_ : nullptr, true);
  SkipBlanks();
  value_.clear();
  if (pos_ < page_.size() && page_[pos_] == '=') {
    ++pos_;
    SkipBlanks();
    if (!ReadValue(keep)) return false;
  }
  if (keep) AddAttribute(token);
  return true;
}

// A value in quotes, or one that runs to a blank or ">"; false when the page ends first.
bool HtmlTokenizer::ReadValue(bool keep) {
  if (pos_ >= page_.size()) return false;
  const char quote = page_[pos_];
  size_t from = pos_;
  size_t end = 0;
  if (quote == '"' || quote == '\'') {
    end = page_.find(quote, ++from);
    if (end == std::string_view::npos) return false;
    pos_ = end + 1;
  } else {
    end = from;
    while (end < page_.size() && !IsBlank(page_[end]) && page_[end] != '>') ++end;
    if (end == page_.size()) return false;
    pos_ = end;
  }
  if (keep) AppendDecodedReferences(page_.substr(from, end - from), ReferencePlace::kAttribute, value_);
  return true;
}

// The first attribute of a name counts; a later one of the same name is dropped.
void HtmlTokenizer::AddAttribute(HtmlToken& token) {
  const auto used = token.attributes_.begin() + static_cast<std::ptrdiff_t>(token.attributeCount_);
  if (token.attributeCount_ < kFewAttributes) {
    if (std::any_of(token.attributes_.begin(), used, [&](const HtmlAttribute& a) { return a.name == name_; }))
      return;
  } else {
    if (seen_.empty())
      for (auto it = token.attributes_.begin(); it != used; ++it) seen_.insert(it->name);
    if (!seen_.insert(name_).second) return;
  }
  if (token.attributeCount_ == token.attributes_.size()) token.attributes_.emplace_back();
  HtmlAttribute& attribute = token.attributes_[token.attributeCount_++];
  attribute.name.swap(name_);
  attribute.value.swap(value_);
}

bool HtmlTokenizer::ReadRawText(HtmlToken& token) {
  const size_t end = RawTextEnd();
  token.kind = HtmlToken::Kind::kText;
  token.rawText = !DecodesReferences(rawElement_);
  token.text = page_.substr(pos_, end - pos_);
  rawElement_.clear();
  pos_ = end;
  return !token.text.empty();
}

// Whether the tag `prefix` ("</" or "<") and the raw-text element's name, in any case,
// followed by a blank, "/" or ">", stands at `at`.
bool HtmlTokenizer::IsRawElementTag(size_t at, std::string_view prefix) const {
  const size_t after = at + prefix.size() + rawElement_.size();
  return after < page_.size() && page_.substr(at, prefix.size()) == prefix &&
         EqualsNoCase(page_.substr(at + prefix.size(), rawElement_.size()), rawElement_) && EndsName(page_[after]);
}

// Where the content of the raw-text element ends: at its end tag; else at the end of the page.
size_t HtmlTokenizer::RawTextEnd() const {
  if (rawElement_ == "script") return ScriptEnd();
  for (size_t at = page_.find("</", pos_); at != std::string_view::npos; at = page_.find("</", at + 2))
    if (IsRawElementTag(at, "</")) return at;
  return page_.size();
}

// A script ends at "</script", but not where a "<script" inside "<!--" is open.
size_t HtmlTokenizer::ScriptEnd() const {
  enum { kData, kEscaped, kDoubleEscaped } state = kData;
  for (size_t at = pos_; (at = page_.find_first_of("<>", at)) != std::string_view::npos; ++at) {
    if (page_[at] == '>') {
      // "-->" ends an escaped part; its dashes may be those of "<!--".
      if (state != kData && at >= pos_ + 2 && page_.substr(at - 2, 2) == "--") state = kData;
    } else if (state == kData && page_.substr(at, 4) == "<!--") {
      state = kEscaped;
      at += 3;
    } else if (state == kDoubleEscaped) {
      if (IsRawElementTag(at, "</")) state = kEscaped;
    } else if (IsRawElementTag(at, "</")) {
      return at;
    } else if (state == kEscaped && IsRawElementTag(at, "<")) {
      state = kDoubleEscaped;
    }
  }
  return page_.size();
}
