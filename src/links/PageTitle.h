#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

// The whole file up to its first zero byte; nullopt when it cannot be opened.
std::optional<std::string> TryReadTextFile(const std::string& path);
// The same, empty when it cannot be opened.
std::string ReadTextFile(const std::string& path);
// Position of the first match of `pattern` ("*" any run, "?" one character, [set]) in
// `text`, the pattern only having to match at the front of the rest; -1 when none.
int64_t WildcardFind(const std::string& text, const std::string& pattern, bool ignoreCase);
// The text between "<title>" and the next "<", entities as written, converted to UTF-8
// from the page's character set; empty when there is none.
std::string GetPageTitle(const std::string& path);
// The same for a page's text read already.
std::string TitleInText(const std::string& text);

// The titles of the pages a run has read, by the path they were read under, so that no
// page is read twice.
class PageTitles {
 public:
  // Remembers the title of the page `path`, whose text is `text`.
  void Remember(const std::string& path, const std::string& text);
  // GetPageTitle(path), without reading a page remembered already.
  std::string Of(const std::string& path) const;

 private:
  std::unordered_map<std::string, std::string> titles_;
};
