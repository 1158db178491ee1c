#include "sitemap/MacroFilters.h"

#include "common/Escape.h"
#include "common/Text.h"
#include "common/Utf8.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The entity for a character that markup gives a meaning; nullptr for any other.
const char* MarkupEntity(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    default:
      return nullptr;
  }
}

}  // namespace

std::string HtmlEscape(std::string_view value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (char c : ValidUtf8(value)) {
    const char* entity = MarkupEntity(c);
    if (entity)
      escaped += entity;
    else
      escaped += c;
  }
  return escaped;
}

namespace {

bool IsXmlCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

std::string XmlFilter(std::string_view value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (size_t pos = 0; pos < value.size();) {
    char32_t c = kReplacementCharacter;
    const size_t start = pos;
    if (!NextCodePoint(value, pos, c)) c = kReplacementCharacter;
    if (!IsXmlCharacter(c)) continue;
    const char* entity = c < 0x80 ? MarkupEntity(static_cast<char>(c)) : nullptr;
    if (entity)
      escaped += entity;
    else if (c == kReplacementCharacter)
      AppendUtf8(escaped, c);
    else
      escaped.append(value.substr(start, pos - start));
  }
  return escaped;
}

bool IsUnreservedOrSlash(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

}  // namespace

std::string UrlEscape(std::string_view value) {
  std::string encoded;
  encoded.reserve(value.size());
  for (char c : value) {
    if (IsUnreservedOrSlash(c)) {
      encoded += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      encoded += {'%', kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
    }
  }
  return encoded;
}

namespace {

const MacroFilterDefinition kFilters[] = {
    {"html",
     "writes `&`, `<`, `>`, `\"`, `'` as `&amp;`, `&lt;`, `&gt;`, `&quot;`, `&#39;`, bytes that "
     "are not UTF-8 as U+FFFD",
     HtmlEscape},
    {"xml",
     "the same, drops characters XML forbids and writes bytes that are not UTF-8 as U+FFFD",
     XmlFilter},
    {"url",
     "percent-encodes every byte but letters, digits, `-`, `.`, `_`, `~` and `/` (`&` as "
     "`%26`, blank as `%20`)",
     UrlEscape},
    {"json",
     "escapes for the inside of a JSON string (`\"`, `\\`, control characters; bad UTF-8 as "
     "U+FFFD)",
     JsonEscaped},
};

}  // namespace

std::span<const MacroFilterDefinition> MacroFilterTable() { return kFilters; }

std::string MacroFilterManualRows() {
  std::string rows;
  for (const MacroFilterDefinition& filter : kFilters)
    rows += "| `" + std::string(filter.name) + "` | " + std::string(filter.description) + " |\n";
  return rows;
}

MacroFilter FindMacroFilter(std::string_view name) {
  for (const MacroFilterDefinition& filter : kFilters)
    if (EqualsNoCase(name, filter.name)) return filter.apply;
  return nullptr;
}
