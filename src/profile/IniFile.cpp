#include "profile/IniFile.h"

#include <algorithm>

#include "common/Text.h"

namespace {

constexpr const char* kBlanks = " \t";
// Editors may put a byte-order mark before the first header.
constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The section name of a header line "[name]"; nullopt for any other line.
std::optional<std::string> HeaderName(const std::string& line) {
  const std::string trimmed = TrimBlanks(line);
  const size_t close = trimmed.find(']');
  if (!trimmed.starts_with('[') || close == std::string::npos) return std::nullopt;
  return TrimBlanks(trimmed.substr(1, close - 1));
}

// The key of a "key=value" line; nullopt for comments and lines without "=".
std::optional<std::string> KeyOf(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos || TrimBlanks(line).starts_with(';')) return std::nullopt;
  return TrimBlanks(line.substr(0, equals));
}

bool HasKey(const std::string& line, const std::string& key) {
  const std::optional<std::string> lineKey = KeyOf(line);
  return lineKey && EqualsNoCase(*lineKey, key);
}

std::string ValueOf(const std::string& line) {
  std::string value = TrimBlanks(line.substr(line.find('=') + 1));
  const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                      (value.front() == '"' || value.front() == '\'');
  return quoted ? value.substr(1, value.size() - 2) : value;
}

}  // namespace

IniFile IniFile::Parse(const std::string& text) {
  IniFile file;
  size_t start = text.starts_with(kUtf8ByteOrderMark) ? 3 : 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.pop_back();
    start = end + 1;
    if (const std::optional<std::string> name = HeaderName(line))
      file.sections_.push_back({*name, line, {}});
    else
      (file.sections_.empty() ? file.preamble_ : file.sections_.back().lines).push_back(line);
  }
  return file;
}

std::string IniFile::Serialize() const {
  std::string text;
  const auto append = [&text](const std::string& line) { text += line + "\r\n"; };
  std::for_each(preamble_.begin(), preamble_.end(), append);
  for (const Section& section : sections_) {
    append(section.header);
    std::for_each(section.lines.begin(), section.lines.end(), append);
  }
  return text;
}

std::optional<size_t> IniFile::SectionIndex(const std::string& name) const {
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (EqualsNoCase(sections_[i].name, name)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
  const std::optional<size_t> index = SectionIndex(section);
  if (!index) return std::nullopt;
  for (const std::string& line : sections_[*index].lines) {
    if (HasKey(line, key)) return ValueOf(line);
  }
  return std::nullopt;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  const std::string line = key + "=" + value;
  const std::optional<size_t> index = SectionIndex(section);
  if (!index) {
    sections_.push_back({section, "[" + section + "]", {line}});
    return;
  }
  std::vector<std::string>& lines = sections_[*index].lines;
  const auto existing =
      std::find_if(lines.begin(), lines.end(), [&key](const std::string& l) { return HasKey(l, key); });
  if (existing != lines.end()) {
    *existing = line;
    return;
  }
  // Blank lines that close the section stay below the new key.
  const auto lastFilled = std::find_if(lines.rbegin(), lines.rend(),
                                       [](const std::string& l) { return !TrimBlanks(l).empty(); });
  lines.insert(lastFilled.base(), line);
}
