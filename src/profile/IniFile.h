#pragma once
#include <optional>
#include <string>
#include <vector>

// An INI text held in memory, so a profile is read and written in one go. Section and key
// names match ignoring case; lines the program does not know survive a save unchanged.
class IniFile {
 public:
  // Parses `text`; lines may end with LF or CR LF.
  static IniFile Parse(const std::string& text);
  // The whole file, every line ended by CR LF.
  std::string Serialize() const;

  // The value of `key` in the first section named `section`, without the blanks around it
  // and one pair of enclosing quotes; nullopt when the section or the key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  // Replaces the value of `key` on its own line; a missing key is added behind the last line
  // of its section, a missing section at the end of the file.
  void Set(const std::string& section, const std::string& key, const std::string& value);

 private:
  struct Section {
    std::string name;
    std::string header;               // the header line as read
    std::vector<std::string> lines;   // the lines below the header
  };
  // Index of the first section named `name`; nullopt when there is none.
  std::optional<size_t> SectionIndex(const std::string& name) const;

  std::vector<std::string> preamble_;  // lines before the first header
  std::vector<Section> sections_;
};
