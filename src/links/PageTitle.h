#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "common/RunSettings.h"

enum class PageRead { kRead, kUnreadable, kTooLarge };
// Reads the page `path` into `text` up to its first zero byte, piece by piece, so memory
// follows what the page holds rather than the size it claims. A page larger than
// `maxBytes` is not read (kTooLarge, and the log says so); neither is anything but a
// regular file (kUnreadable).
PageRead ReadPage(const std::string& path, int64_t maxBytes, std::string& text);
// The whole file up to its first zero byte; nullopt when it cannot be opened.
std::optional<std::string> TryReadTextFile(const std::string& path, int64_t maxBytes = kDefaultMaxPageBytes);
// The same, empty when it cannot be opened.
std::string ReadTextFile(const std::string& path);
// Position of the first match of `pattern` ("*" any run, "?" one character, [set]) in
// `text`, the pattern only having to match at the front of the rest; -1 when none.
int64_t WildcardFind(const std::string& text, const std::string& pattern, bool ignoreCase);
// The text between "<title>" and the next "<", entities as written, converted to UTF-8
// from the page's character set; empty when there is none. Only the head of the page is
// read, up to its title.
std::string GetPageTitle(const std::string& path, int64_t maxBytes = kDefaultMaxPageBytes);
// The same; nullopt when the page cannot be read at all (a page too large has no title).
std::optional<std::string> ReadPageTitle(const std::string& path, int64_t maxBytes);
// The same for a page's text read already.
std::string TitleInText(const std::string& text);

// The titles of the pages a run has read, by the path they were read under, so that no
// page is read twice.
class PageTitles {
 public:
  explicit PageTitles(int64_t maxPageBytes = kDefaultMaxPageBytes) : maxPageBytes_(maxPageBytes) {}
  // Remembers the title of the page `path`, whose text is `text`.
  void Remember(const std::string& path, const std::string& text);
  // GetPageTitle(path), without reading a page remembered already.
  std::string Of(const std::string& path) const;
  // The same; nullopt when the page cannot be read.
  std::optional<std::string> TryOf(const std::string& path) const;

 private:
  int64_t maxPageBytes_;
  std::unordered_map<std::string, std::string> titles_;
};
