#include "links/HtmlTokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "common/HtmlEntities.h"
#include "common/Text.h"
#include "links/ByteSearch.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Byte classes looked up in one step.
using ByteSet = std::array<bool, 256>;
constexpr ByteSet SetOf(std::string_view bytes) {
  ByteSet set{};
  for (char c : bytes) set[static_cast<unsigned char>(c)] = true;
  return set;
}
bool In(const ByteSet& set, char c) { return set[static_cast<unsigned char>(c)]; }
constexpr std::string_view kBlanks = " \t\n\f\r";
constexpr ByteSet kBlank = SetOf(kBlanks);
constexpr ByteSet kOpensMarkup =
    SetOf("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!?/");  // behind a "<"
// A blank or one of `kOthers`: what ends a name or an unquoted value.
template <char... kOthers>
constexpr ByteSet kBlankOr = [] {
  ByteSet set = SetOf(kBlanks);
  ((set[static_cast<unsigned char>(kOthers)] = true), ...);
  return set;
}();
constexpr const ByteSet& kEndsName = kBlankOr<'/', '>'>;

constexpr uint64_t kOnes = 0x0101010101010101, kHighBits = kOnes * 0x80;
// The high bit of each of the eight bytes that is zero; the lowest one marked is one.
constexpr uint64_t ZeroBytes(uint64_t bytes) { return (bytes - kOnes) & ~bytes & kHighBits; }
// The high bit of each byte that may be a blank or one of `kOthers`: up to " " (the blanks
// and the other controls), or equal to one; the lowest one marked is one.
template <char... kOthers>
uint64_t MayEnd(uint64_t bytes) {
  return ((bytes - kOnes * 0x21) & ~bytes & kHighBits) |
         (ZeroBytes(bytes ^ (kOnes * static_cast<unsigned char>(kOthers))) | ...);
}

// The first blank or one of `kOthers` from `p` on, or `end`. Eight bytes are looked at in
// one step while they can be: most names and values end within them, and a loop that runs
// once is foreseen where one running byte by byte is not.
template <char... kOthers>
const char* FindBlankOr(const char* p, const char* end) {
  constexpr const ByteSet& ends = kBlankOr<kOthers...>;
  if constexpr (std::endian::native == std::endian::little) {
    for (uint64_t bytes = 0; end - p >= 8; p += 8) {
      std::memcpy(&bytes, p, sizeof bytes);
      const uint64_t marked = MayEnd<kOthers...>(bytes);
      if (marked == 0) continue;
      p += std::countr_zero(marked) / 8;
      if (In(ends, *p)) return p;
      ++p;  // a control byte other than a blank: rare, read on byte by byte
      break;
    }
  }
  while (p < end && !In(ends, *p)) ++p;
  return p;
}
const char* SkipBlanks(const char* p, const char* end) {
  while (p < end && In(kBlank, *p)) ++p;
  return p;
}

// Each byte in lower case, looked up: the compiler leaves a loop over a table plain, which
// suits the short names of tags better than the vector code it makes of a computed one.
constexpr std::array<char, 256> kLowerCase = [] {
  std::array<char, 256> lower{};
  for (size_t c = 0; c < lower.size(); ++c) lower[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return lower;
}();

// The high bit of each of the eight bytes that is a capital A to Z.
constexpr uint64_t Capitals(uint64_t bytes) {
  const uint64_t low = bytes & ~kHighBits;  // adding to these carries into no other byte
  const uint64_t fromA = low + kOnes * (0x80 - 'A'), beyondZ = low + kOnes * (0x80 - 'Z' - 1);
  return fromA & ~beyondZ & ~bytes & kHighBits;
}

// Whether the `length` bytes from `p` hold a capital, `end` being the end of the page. Most
// tag names hold none and are shorter than eight bytes: one word read past the name and cut
// to it answers without a loop whose end would have to be foreseen.
bool HasCapitals(const char* p, size_t length, const char* end) {
  uint64_t bytes = 0;
  for (; length >= sizeof bytes; p += sizeof bytes, length -= sizeof bytes) {
    std::memcpy(&bytes, p, sizeof bytes);
    if (Capitals(bytes) != 0) return true;
  }
  if (length == 0) return false;
  if (std::endian::native == std::endian::little && end - p >= 8) {
    std::memcpy(&bytes, p, sizeof bytes);
    return (Capitals(bytes) & ((uint64_t{1} << (8 * length)) - 1)) != 0;
  }
  return std::any_of(p, p + length, [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The end of the tag name from `p` on, as FindBlankOr<'/', '>'> finds it, and whether the name
// holds capitals. Most names end within eight bytes: one word read answers both.
const char* TagNameEnd(const char* p, const char* end, bool& capitals) {
  if (std::endian::native == std::endian::little && end - p >= 8) {
    uint64_t bytes = 0;
    std::memcpy(&bytes, p, sizeof bytes);
    const uint64_t marked = MayEnd<'/', '>'>(bytes);
    const int length = std::countr_zero(marked) / 8;
    if (marked != 0 && In(kEndsName, p[length])) {
      capitals = (Capitals(bytes) & ((uint64_t{1} << (8 * length)) - 1)) != 0;
      return p + length;
    }
  }
  const char* const nameEnd = FindBlankOr<'/', '>'>(p, end);
  capitals = HasCapitals(p, static_cast<size_t>(nameEnd - p), end);
  return nameEnd;
}

// `out` becomes `text` in lower case.
void AssignLowerCase(std::string& out, std::string_view text) {
  if (out.size() != text.size()) out.resize(text.size());
  char* const to = out.data();
  for (size_t i = 0; i < text.size(); ++i) to[i] = kLowerCase[static_cast<unsigned char>(text[i])];
}

constexpr std::string_view kRawTextElements[] = {"title",  "textarea", "script",  "style",
                                                 "xmp",    "iframe",   "noembed", "noframes"};

// The sketches of the elements whose content is text.
constexpr ByteSet kTextElementSketches = [] {
  ByteSet sketches{};
  for (std::string_view element : kRawTextElements) sketches[NameSketch(element)] = true;
  sketches[NameSketch("plaintext")] = true;
  return sketches;
}();

// No name needs a look: for a tag looked at already.
constexpr NameSketches kNoSketches{};

// A tag with more attributes than this finds duplicates through a set, not a look at each.
constexpr size_t kFewAttributes = 16;

}  // namespace

bool IsRawTextElement(std::string_view name) {
  return std::ranges::find(kRawTextElements, name) != std::end(kRawTextElements);
}
bool DecodesReferences(std::string_view element) { return element == "title" || element == "textarea"; }

const std::string* HtmlToken::Attribute(std::string_view name) const {
  for (const HtmlAttribute& attribute : Attributes())
    if (attribute.name == name) return &attribute.value;
  return nullptr;
}

NameSketches HtmlTokenizer::AllSketches() {
  NameSketches all;
  all.fill(true);
  return all;
}

void HtmlTokenizer::KeepAttributesOf(bool (*keeps)(std::string_view element), const NameSketches& sketches) {
  keeps_ = keeps;
  for (size_t sketch = 0; sketch < lookedAt_.size(); ++sketch)
    lookedAt_[sketch] = sketches[sketch] || kTextElementSketches[sketch];
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
  // "&" and "|", not "&&" and "||": a "/" as often as a letter would foil a guessed branch.
  return In(kOpensMarkup, c) & ((c != '/') | (at + 2 < page_.size()));
}

bool HtmlTokenizer::NextKeptStartTag(HtmlToken& token) {
  while (pos_ < page_.size() && !plainText_) {
    if (!rawElement_.empty()) {
      pos_ = RawTextEnd();
      rawElement_.clear();
    } else if (!StartsMarkup(pos_)) {
      pos_ = TextEnd();
    } else if (const bool closing = page_[pos_ + 1] == '/'; IsAsciiLetter(page_[pos_ + 1 + (closing ? 1 : 0)])) {
      // A tag: most are passed over from their window, with the tags behind them there,
      // without a token. (The window is handed back, not copied: a copy made of the parts just
      // written waits for them.)
      const PassedTag window = LookAtTag(closing, true);
      if (window.behind != nullptr)
        pos_ = static_cast<size_t>((window.nextOpen != nullptr ? window.nextOpen : window.behind) - page_.data());
      else if (closing ? !PassShortEndTag() && ReadsKeptStartTag(token, {}) : ReadsKeptStartTag(token, window))
        return true;
    } else if (ReadsKeptStartTag(token, {})) {
      return true;
    }
  }
  pos_ = page_.size();
  return false;
}

// Reads the markup from pos_ as Next does, from what `window` showed of a start tag there if
// anything: true when it is a start tag whose attributes are kept.
bool HtmlTokenizer::ReadsKeptStartTag(HtmlToken& token, const PassedTag& window) {
  token.rawText = false;
  token.offset = static_cast<int64_t>(pos_);
  nextOpen_ = 0;
  const bool read = window.nameEnd != nullptr ? ReadTag(token, false, window) : ReadMarkup(token);
  if (read && token.kind == HtmlToken::Kind::kStartTag && attributesKept_) return true;
  if (nextOpen_ != 0) pos_ = nextOpen_;  // the text (or raw text) up to it needs no search
  return false;
}

// An end tag such as "</span>", whose ">" stands within eight bytes of its name's start
// with no quote before it, is passed over in one step: the ">" ends it whatever it holds,
// and nothing in it matters to a reader of start tags.
bool HtmlTokenizer::PassShortEndTag() {
  if constexpr (std::endian::native != std::endian::little) return false;
  const size_t from = pos_ + 2;
  if (page_.size() - pos_ < 10 || page_[pos_ + 1] != '/' || !IsAsciiLetter(page_[from])) return false;
  uint64_t bytes = 0;
  std::memcpy(&bytes, page_.data() + from, sizeof bytes);
  const uint64_t closes = ZeroBytes(bytes ^ (kOnes * '>'));
  // Of each mask the lowest byte marked is exact; one marked above may not be.
  const uint64_t quotes = ZeroBytes(bytes ^ (kOnes * '"')) | ZeroBytes(bytes ^ (kOnes * '\''));
  const uint64_t first = closes & (~closes + 1);
  if (first == 0 || (quotes & (first - 1)) != 0) return false;
  pos_ = from + static_cast<size_t>(std::countr_zero(first)) / 8 + 1;
  // A "<" among the same bytes behind the ">" spares searching the text up to it. The lowest
  // marked there is exact: the ">" stops what carries over from the bytes below it.
  const uint64_t opens = ZeroBytes(bytes ^ (kOnes * '<')) & ~(first | (first - 1));
  if (opens != 0) pos_ = from + static_cast<size_t>(std::countr_zero(opens)) / 8;
  return true;
}

bool HtmlTokenizer::ReadText(HtmlToken& token) {
  const size_t end = TextEnd();
  token.kind = HtmlToken::Kind::kText;
  token.text = page_.substr(pos_, end - pos_);
  pos_ = end;
  return true;
}

// Where the text from pos_ ends: at the next "<" that begins markup, or the end of the page.
size_t HtmlTokenizer::TextEnd() const {
  const char* const begin = page_.data();
  const char* const end = begin + page_.size();
  const char* p = begin + pos_;
  do p = FindByte('<', p + 1, end);
  while (p < end && !StartsMarkup(static_cast<size_t>(p - begin)));
  return static_cast<size_t>(p - begin);
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

// A tag cut short by the end of the page is no tag. Most tags have their name, and most their
// end, within the 64 bytes from their "<": one look at them finds both, and passes over the
// tag when its name's sketch rules out that its attributes are kept.
bool HtmlTokenizer::ReadTag(HtmlToken& token, bool closing) {
  return ReadTag(token, closing, LookAtTag(closing, false));
}

// The tag from pos_ as its window shows it, passed over unless its attributes may be kept or
// it starts raw text, and with `onward` the tags behind it that can be passed over too;
// nothing when all are kept.
PassedTag HtmlTokenizer::LookAtTag(bool closing, bool onward) const {
  if (!closing && keeps_ == nullptr) return {};
  const char* const tag = page_.data() + pos_;
  return passPlainTag_(tag, closing ? 2 : 1, page_.data() + page_.size(), lookedAt_, onward);
}

bool HtmlTokenizer::ReadTag(HtmlToken& token, bool closing, const PassedTag& window) {
  token.kind = closing ? HtmlToken::Kind::kEndTag : HtmlToken::Kind::kStartTag;
  token.selfClosing = false;
  token.attributeCount_ = 0;
  const char* const begin = page_.data();
  const char* const tag = begin + pos_;
  const int nameStart = closing ? 2 : 1;
  const char* const end = begin + page_.size();
  bool capitals = window.capitals;
  const char* const nameEnd = window.nameEnd != nullptr ? window.nameEnd : TagNameEnd(tag + nameStart, end, capitals);
  token.name = std::string_view(tag + nameStart, static_cast<size_t>(nameEnd - tag - nameStart));
  if (capitals) {
    AssignLowerCase(lowerCaseName_, token.name);
    token.name = lowerCaseName_;
  }
  if (window.behind != nullptr) {
    attributesKept_ = false;
    token.selfClosing = window.selfClosing;
    pos_ = static_cast<size_t>(window.behind - begin);
    nextOpen_ = window.nextOpen != nullptr ? static_cast<size_t>(window.nextOpen - begin) : 0;
    return true;
  }
  pos_ = static_cast<size_t>(nameEnd - begin);
  attributesKept_ = !closing && (keeps_ == nullptr || keeps_(token.name));
  // A start tag not kept whose name asked for a look is passed over from its window.
  const bool look = !closing && window.nameEnd != nullptr;
  const bool read = attributesKept_ ? ReadAttributes<true>(token)
                    : look          ? PassAttributes(token, tag, nameStart)
                                    : ReadAttributes<false>(token);
  if (!read) {
    pos_ = page_.size();
    return false;
  }
  if (closing) {
    token.attributeCount_ = 0;
  } else if (kTextElementSketches[NameSketch(token.name)]) {  // most tags are ruled out here
    StartInside(token.name);
  }
  return true;
}

// Behind the name of a start tag whose sketch asked for a look and whose attributes are not
// kept, through its ">", passing over the attributes: in wide steps where they are written
// plainly.
bool HtmlTokenizer::PassAttributes(HtmlToken& token, const char* tag, int nameStart) {
  const char* const begin = page_.data();
  const PassedTag passed = passPlainTag_(tag, nameStart, begin + page_.size(), kNoSketches, false);
  nextOpen_ = passed.nextOpen != nullptr ? static_cast<size_t>(passed.nextOpen - begin) : 0;
  if (passed.behind == nullptr) return ReadAttributes<false>(token);
  token.selfClosing = passed.selfClosing;
  pos_ = static_cast<size_t>(passed.behind - begin);
  return true;
}

// Behind the tag name, through its ">", keeping the attributes or only passing them; false
// when the page ends first. An attribute is a name, then "=" and a value or none; its name
// ends at "=" too, unless it begins with one. A value is in quotes, or runs to a blank or ">".
template <bool kKeep>
bool HtmlTokenizer::ReadAttributes(HtmlToken& token) {
  if constexpr (kKeep) seen_.clear();
  const char* p = page_.data() + pos_;
  const char* const end = page_.data() + page_.size();
  for (;;) {
    p = SkipBlanks(p, end);
    if (p == end) return false;
    if (*p == '>' || (*p == '/' && p + 1 < end && p[1] == '>')) {
      token.selfClosing = *p == '/';
      pos_ = static_cast<size_t>(p - page_.data()) + (token.selfClosing ? 2 : 1);
      return true;
    }
    if (*p == '/') {
      ++p;
      continue;
    }
    const char* const name = p;
    p = FindBlankOr<'/', '>', '='>(*p == '=' ? p + 1 : p, end);
    const std::string_view nameText(name, static_cast<size_t>(p - name));
    p = SkipBlanks(p, end);
    std::string_view value;
    if (p < end && *p == '=') {
      p = SkipBlanks(p + 1, end);
      if (p == end) return false;
      const char quote = *p;
      if (quote == '"' || quote == '\'') {
        const char* const close = FindByte(quote, p + 1, end);
        if (close == end) return false;
        value = std::string_view(p + 1, static_cast<size_t>(close - p - 1));
        p = close + 1;
      } else {
        const char* const valueEnd = FindBlankOr<'>'>(p, end);
        if (valueEnd == end) return false;
        value = std::string_view(p, static_cast<size_t>(valueEnd - p));
        p = valueEnd;
      }
    }
    if constexpr (kKeep) AddAttribute(token, nameText, value);
  }
}

// The first attribute of a name counts; a later one of the same name is dropped. Names
// are judged where they stand in the page unless they hold capitals.
void HtmlTokenizer::AddAttribute(HtmlToken& token, std::string_view name, std::string_view value) {
  if (keepsNamed_ != nullptr && !namedSketches_[NameSketch(name)]) return;  // most are ruled out here
  if (HasCapitals(name.data(), name.size(), page_.data() + page_.size())) {
    AssignLowerCase(lowerCaseAttribute_, name);
    name = lowerCaseAttribute_;
  }
  if (keepsNamed_ != nullptr && !keepsNamed_(name)) return;
  if (token.attributeCount_ == token.attributes_.size()) token.attributes_.emplace_back();
  const auto used = token.attributes_.begin() + static_cast<std::ptrdiff_t>(token.attributeCount_);
  if (token.attributeCount_ < kFewAttributes) {
    if (std::any_of(token.attributes_.begin(), used, [&](const HtmlAttribute& a) { return a.name == name; }))
      return;
  } else {
    if (seen_.empty())
      for (auto it = token.attributes_.begin(); it != used; ++it) seen_.insert(it->name);
    if (!seen_.emplace(name).second) return;
  }
  used->name.assign(name);
  used->value.clear();
  AppendDecodedReferences(value, ReferencePlace::kAttribute, used->value);
  ++token.attributeCount_;
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
         EqualsNoCase(page_.substr(at + prefix.size(), rawElement_.size()), rawElement_) && In(kEndsName, page_[after]);
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
