#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/HashSlots.h"

#include "common/RunSettings.h"
#include "links/FolderRelativePath.h"
#include "links/TextBlocks.h"
#include "platform/RegularFile.h"

enum class PageRead { kRead, kUnreadable, kTooLarge };
// Reads the page `path` into `text` up to its first zero byte (a UTF-16 page with its
// byte-order mark is converted to UTF-8 first), piece by piece, so memory
// follows what the page holds rather than the size it claims. A page larger than
// `maxBytes` is not read (kTooLarge; the caller tells the log with TraceTooLarge);
// neither is anything but a regular file (kUnreadable). `known` says what a folder listing
// told of the path. Writes no log, so any thread may read pages.
PageRead ReadPage(const std::string& path, int64_t maxBytes, std::string& text,
                  RegularFile::Known known = RegularFile::Known::kNothing);
// The same, but only as far as the page's title is settled (64 KB at least, which holds what
// decides the charset).
PageRead ReadPageHead(const std::string& path, int64_t maxBytes, std::string& text,
                      RegularFile::Known known = RegularFile::Known::kNothing);
// Says in the log that the page `path` was not read, being larger than `maxBytes`.
void TraceTooLarge(const std::string& path, int64_t maxBytes);
// The whole file up to its first zero byte; nullopt when it cannot be opened (the log
// says so when it is too large).
std::optional<std::string> TryReadTextFile(const std::string& path, int64_t maxBytes = kDefaultMaxPageBytes);
// The same, empty when it cannot be opened.
std::string ReadTextFile(const std::string& path);
// Position of the first match of `pattern` ("*" any run, "?" one character, [set]) in
// `text`, the pattern only having to match at the front of the rest; -1 when none.
int64_t WildcardFind(const std::string& text, const std::string& pattern, bool ignoreCase);
// The content of the page's first title element, references as written, converted to
// UTF-8 from the page's character set; empty when there is none or it is not closed. Only the head of the page is
// read, up to its title.
std::string GetPageTitle(const std::string& path, int64_t maxBytes = kDefaultMaxPageBytes);
// The same; nullopt when the page cannot be read at all (a page too large has no title).
std::optional<std::string> ReadPageTitle(const std::string& path, int64_t maxBytes);
// The same for a page's text read already.
std::string TitleInText(const std::string& text);

// The titles of the pages a run has read, by the path they were read under, so that no
// page is read twice. Paths and titles lie side by side in blocks of text: a site of many
// pages costs little more than their bytes. Paths below the folder of the first page
// remembered (the start folder, in a crawl) are kept without it, so the cost does not grow
// with where the site lies.
class PageTitles {
 public:
  explicit PageTitles(int64_t maxPageBytes = kDefaultMaxPageBytes) : maxPageBytes_(maxPageBytes) {}
  // Remembers `title` (TitleInText of its text) as the title of the page `path`.
  void Remember(std::string_view path, std::string_view title);
  // GetPageTitle(path), without reading a page remembered already.
  std::string Of(const std::string& path) const;
  // The same; nullopt when the page cannot be read.
  std::optional<std::string> TryOf(const std::string& path) const;
  // Starts fetching what a lookup of `path` reads, for a caller that knows its next pages. In
  // three steps, each after the one before has had time: 0 its slot, 1 its record, 2 its text.
  void Prefetch(const std::string& path, int step) const;

 private:
  struct Record {
    TextBlocks::Place path;  // the title right behind it
    uint32_t pathLength : 31 = 0;
    uint32_t belowFolder : 1 = 0;  // the path kept without folder_
    uint32_t titleLength = 0;
  };
  FolderRelativePath PathOf(size_t record) const;

  int64_t maxPageBytes_;
  std::string folder_;  // of the first page remembered, with its final "/"
  TextBlocks texts_;
  std::vector<Record> records_;
  HashSlots slots_;  // the records by their paths
};
