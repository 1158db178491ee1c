#include "common/HtmlEntities.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "common/Utf8.h"

namespace {

struct NamedReference {
  std::string_view name;  // as written after "&", with its ";" where it has one
  char32_t first;
  char32_t second;  // 0 for most
};

constexpr NamedReference kNamedReferences[] = {
#include "common/NamedCharacterReferences.inc"
};

constexpr size_t kLongestName = 32;

bool IsAsciiAlphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

const NamedReference* FindName(std::string_view name) {
  const auto* found = std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name,
                                       [](const NamedReference& r, std::string_view key) { return r.name < key; });
  return found != std::end(kNamedReferences) && found->name == name ? found : nullptr;
}

// The longest name of the table that `rest` (behind "&") begins with; nullptr when none.
const NamedReference* LongestNameAt(std::string_view rest) {
  size_t run = 0;
  while (run < rest.size() && run < kLongestName && IsAsciiAlphanumeric(rest[run])) ++run;
  if (run < rest.size() && rest[run] == ';') ++run;
  for (size_t length = run; length > 0; --length) {
    if (const NamedReference* found = FindName(rest.substr(0, length))) return found;
  }
  return nullptr;
}

// What a browser makes of the numbers 80-9F, read as windows-1252; 0 where it has none.
constexpr char32_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t NumberedCharacter(uint32_t value) {
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacementCharacter;
  if (value >= 0x80 && value <= 0x9F && kWindows1252[value - 0x80] != 0) return kWindows1252[value - 0x80];
  return value;
}

int DigitValue(char c, int base) {
  int value = 99;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// A numeric reference behind "&#": appends its character and returns the length read
// behind "&"; 0 when no digit follows.
size_t AppendNumbered(std::string_view rest, std::string& out) {
  size_t at = 1;
  int base = 10;
  if (at < rest.size() && (rest[at] == 'x' || rest[at] == 'X')) {
    base = 16;
    ++at;
  }
  const size_t digits = at;
  uint32_t value = 0;
  for (int digit; at < rest.size() && (digit = DigitValue(rest[at], base)) >= 0; ++at)
    value = std::min<uint32_t>(value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit), 0x110000);
  if (at == digits) return 0;
  if (at < rest.size() && rest[at] == ';') ++at;
  AppendUtf8(out, NumberedCharacter(value));
  return at;
}

// A named reference behind "&": appends its characters and returns the length of its name;
// 0 when it is none, or stays as written in an attribute.
size_t AppendNamed(std::string_view rest, ReferencePlace place, std::string& out) {
  const NamedReference* found = LongestNameAt(rest);
  if (found == nullptr) return 0;
  const size_t length = found->name.size();
  const char next = length < rest.size() ? rest[length] : '\0';
  if (place == ReferencePlace::kAttribute && !found->name.ends_with(';') &&
      (next == '=' || IsAsciiAlphanumeric(next)))
    return 0;
  AppendUtf8(out, found->first);
  if (found->second != 0) AppendUtf8(out, found->second);
  return length;
}

}  // namespace

void AppendDecodedReferences(std::string_view markup, ReferencePlace place, std::string& out) {
  size_t pos = 0;
  while (pos < markup.size()) {
    const size_t amp = markup.find('&', pos);
    out.append(markup.substr(pos, amp - pos));
    if (amp == std::string_view::npos) break;
    const std::string_view rest = markup.substr(amp + 1);
    const size_t read = rest.starts_with('#') ? AppendNumbered(rest, out) : AppendNamed(rest, place, out);
    if (read == 0) out += '&';
    pos = amp + 1 + read;
  }
}

std::string DecodeHtmlEntities(std::string_view markup, ReferencePlace place) {
  std::string text;
  if (markup.find('&') == std::string_view::npos) return std::string(markup);
  text.reserve(markup.size());
  AppendDecodedReferences(markup, place, text);
  return text;
}
