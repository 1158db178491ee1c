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

std::string JoinColonList(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& entry : list) {
    if (!text.empty()) text += ':';
    for (const char c : entry) text += c == ':' ? std::string("\\:") : std::string(1, c);
  }
  return text;
}

std::vector<std::string> SplitColonList(const std::string& text) {
  std::vector<std::string> list(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == ':')
      list.back() += text[++i];
    else if (text[i] == ':')
      list.emplace_back();
    else
      list.back() += text[i];
  }
  std::erase_if(list, [](const std::string& entry) { return entry.empty(); });
  return list;
}
