#include "links/PageCharset.h"

#include <algorithm>

#include "common/Text.h"
#include "common/Utf8.h"
#include "links/HtmlTokenizer.h"
#include "platform/TextEncoding.h"

namespace {

// The part of a page where declarations are looked for.
constexpr size_t kHeadLimit = 64 * 1024;

bool IsCharsetNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

// The name behind `key` ("charset", "encoding") within `tag`: key, blanks, "=", blanks, an
// optional quote, then the name. Empty when the tag has no such key.
std::string ValueAfter(std::string_view tag, std::string_view key) {
  const int64_t found = FindNoCase(tag, key);
  if (found < 0) return "";
  std::string_view rest = TrimView(tag.substr(found + key.size()));
  if (!rest.starts_with('=')) return "";
  rest = TrimView(rest.substr(1), " \t\r\n\"'");
  std::string name;
  for (char c : rest) {
    c = ToLowerAscii(c);
    if (!IsCharsetNameByte(c)) break;
    name += c;
  }
  return name;
}

// <meta charset>, or the charset in the content of <meta http-equiv="Content-Type">.
std::string CharsetOfMetaTags(std::string_view page) {
  HtmlTokenizer tokenizer(page.substr(0, kHeadLimit));
  HtmlToken token;
  while (tokenizer.Next(token) && !EndsHead(token)) {
    if (token.kind != HtmlToken::Kind::kStartTag || token.name != "meta") continue;
    if (const std::string* charset = token.Attribute("charset")) return ValueAfter("charset=" + *charset, "charset");
    const std::string* equiv = token.Attribute("http-equiv");
    const std::string* content = token.Attribute("content");
    if (equiv != nullptr && content != nullptr && EqualsNoCase(TrimView(*equiv), "content-type")) {
      std::string name = ValueAfter(*content, "charset");
      if (!name.empty()) return name;
    }
  }
  return "";
}

std::string CharsetOfXmlDeclaration(std::string_view page) {
  if (!page.starts_with("<?xml")) return "";
  return ValueAfter(page.substr(0, page.find("?>")), "encoding");
}

std::string BrowserName(std::string name) {
  if (name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || name == "ascii")
    return "windows-1252";
  // A page read as UTF-16 was converted when it was read.
  if (name.starts_with("utf-16")) return "utf-8";
  return name;
}

}  // namespace

std::string DeclaredCharset(std::string_view page) {
  if (page.starts_with("\xEF\xBB\xBF")) return "utf-8";
  std::string name = CharsetOfXmlDeclaration(page);
  if (name.empty()) name = CharsetOfMetaTags(page);
  return BrowserName(name);
}

std::string PageTextToUtf8(std::string_view text, std::string_view page) {
  const bool ascii = std::ranges::all_of(text, [](char c) { return (c & 0x80) == 0; });
  if (ascii) return std::string(text);
  const std::string charset = DeclaredCharset(page);
  if (!charset.empty() && charset != "utf-8") {
    if (auto converted = ConvertToUtf8(text, charset)) return *converted;
  }
  if (IsValidUtf8(text)) return std::string(text);
  // A page declaring UTF-8 that breaks it keeps its valid part.
  const char* fallback = charset == "utf-8" ? "UTF-8" : "WINDOWS-1252";
  return ConvertToUtf8(text, fallback).value_or(std::string(text));
}
