#include "common/Text.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

#include "common/TextBuffer.h"

std::string ToLowerAscii(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = ToLowerAscii(c);
  return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

std::string Trim(std::string_view text, std::string_view blanks) {
  return std::string(TrimView(text, blanks));
}

std::string_view TrimView(std::string_view text, std::string_view blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

int64_t FindNoCase(std::string_view text, std::string_view what, size_t start) {
  if (start > text.size()) return -1;
  if (what.empty()) return static_cast<int64_t>(start);
  const char first = ToLowerAscii(what[0]);
  const bool caseless = first < 'a' || first > 'z';
  for (size_t at = start; at + what.size() <= text.size(); ++at) {
    // A first character without case is jumped to by memchr; a letter is compared in place.
    if (caseless) {
      at = text.find(first, at);
      if (at == std::string_view::npos || at + what.size() > text.size()) return -1;
    }
    if (EqualsNoCase(text.substr(at, what.size()), what)) return static_cast<int64_t>(at);
  }
  return -1;
}

namespace {

// What WebEscape writes for each byte; empty for the bytes a link holds as they are.
constexpr std::array<std::string_view, 256> kWebEscapes = [] {
  std::array<std::string_view, 256> escapes{};
  escapes[' '] = "%20";
  escapes['"'] = "%22";
  escapes['#'] = "%23";
  escapes['%'] = "%25";
  escapes['?'] = "%3F";
  escapes['\\'] = "%5C";  // a browser would take it for "/"
  return escapes;
}();

}  // namespace

std::string WebEscape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  // Runs of plain bytes are copied whole: most names need no escape at all.
  for (size_t plain = 0;;) {
    size_t i = plain;
    while (i < text.size() && kWebEscapes[static_cast<unsigned char>(text[i])].empty()) ++i;
    escaped.append(text, plain, i - plain);
    if (i == text.size()) return escaped;
    escaped.append(kWebEscapes[static_cast<unsigned char>(text[i])]);
    plain = i + 1;
  }
}

std::string FormatLocalTime(int64_t time, const std::string& format) {
  // std::localtime hands out one shared buffer; copy it while holding the lock.
  static std::mutex localTimeMutex;
  std::tm local{};
  {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::lock_guard<std::mutex> lock(localTimeMutex);
    const std::tm* converted = std::localtime(&seconds);
    if (!converted) return std::string();
    local = *converted;
  }
  char buffer[128];
  const size_t length = std::strftime(buffer, sizeof buffer, format.c_str(), &local);
  return std::string(buffer, length);
}

namespace {

// Profile-value entities in escaping order; "&" must go first so entities typed by the
// user survive a save and load.
const std::pair<const char*, const char*> kProfileEntities[] = {
    {"&", "&amp;"},  {"\r", "&#13;"}, {"\n", "&#10;"}, {"\"", "&quot;"}, {"'", "&#39;"},
    {"<", "&lt;"},   {">", "&gt;"},   {"=", "&#61;"},  {"[", "&#91;"},   {"]", "&#93;"},
};

}  // namespace

std::string EscapeProfileText(const std::string& text) {
  TextBuffer buffer(text);
  for (const auto& [plain, entity] : kProfileEntities) buffer.ReplaceAll(plain, entity, true);
  return buffer.Text();
}

std::string UnescapeProfileText(const std::string& text) {
  TextBuffer buffer(text);
  for (size_t i = 1; i < std::size(kProfileEntities); ++i)
    buffer.ReplaceAll(kProfileEntities[i].second, kProfileEntities[i].first, true);
  buffer.ReplaceAll(kProfileEntities[0].second, kProfileEntities[0].first, true);
  return buffer.Text();
}

std::string UnixLineEnds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, substitution});
    }
  }
  return row[b.size()];
}

std::string Counted(int64_t count, const char* noun) {
  return GroupedNumber(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string GroupedNumber(int64_t number) {
  const std::string digits = std::to_string(number < 0 ? -number : number);
  std::string grouped = number < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}
