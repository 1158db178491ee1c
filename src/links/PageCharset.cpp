#include "links/PageCharset.h"

#include <algorithm>

#include "common/Text.h"
#include "common/Utf8.h"
#include "platform/TextEncoding.h"

namespace {

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

std::string CharsetOfMetaTags(std::string_view head) {
  for (int64_t at = FindNoCase(head, "<meta"); at >= 0; at = FindNoCase(head, "<meta", at + 1)) {
    const size_t end = std::min(head.find('>', at), head.size());
    std::string name = ValueAfter(head.substr(at, end - at), "charset");
    if (!name.empty()) return name;
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
  return name;
}

}  // namespace

std::string_view PageHead(std::string_view page) {
  constexpr size_t kHeadLimit = 64 * 1024;
  page = page.substr(0, kHeadLimit);
  for (const char* end : {"</head", "<body"}) {
    const int64_t at = FindNoCase(page, end);
    if (at >= 0) page = page.substr(0, at);
  }
  return page;
}

std::string DeclaredCharset(std::string_view page) {
  if (page.starts_with("\xEF\xBB\xBF")) return "utf-8";
  std::string name = CharsetOfXmlDeclaration(page);
  if (name.empty()) name = CharsetOfMetaTags(PageHead(page));
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
