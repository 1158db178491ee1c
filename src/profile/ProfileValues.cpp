#include "profile/ProfileValues.h"

#include "common/Text.h"

std::string ReadProfileString(const IniFile& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue) {
  return file.Find(section, key).value_or(defaultValue);
}

void WriteProfileString(IniFile& file, const std::string& section, const std::string& key,
                        const std::string& value) {
  file.Set(section, key, value);
}

bool ReadProfileFlag(const IniFile& file, const std::string& section, const std::string& key,
                     bool defaultFlag) {
  const std::string value = ReadProfileString(file, section, key, defaultFlag ? "1" : "0");
  return value == "1" || EqualsNoCase(value, "TRUE");
}

void WriteProfileFlag(IniFile& file, const std::string& section, const std::string& key,
                      bool flag) {
  file.Set(section, key, flag ? "1" : "0");
}

std::string JoinList(const std::vector<std::string>& list, const std::string& separator) {
  std::string joined;
  for (size_t i = 0; i < list.size(); ++i) joined += (i ? separator : "") + list[i];
  return joined;
}

std::vector<std::string> SplitList(const std::string& text, const std::string& separator,
                                   bool keepEmpty) {
  std::vector<std::string> pieces;
  const auto add = [&](std::string piece) {
    if (keepEmpty || !piece.empty()) pieces.push_back(std::move(piece));
  };
  if (separator.empty()) {
    add(text);
    return pieces;
  }
  size_t start = 0;
  for (size_t found; (found = text.find(separator, start)) != std::string::npos;
       start = found + separator.size())
    add(text.substr(start, found - start));
  add(text.substr(start));
  return pieces;
}
