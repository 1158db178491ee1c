#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/RunControl.h"
#include "links/CandidatePages.h"
#include "links/CrawlPage.h"
#include "links/FoundSpelling.h"
#include "links/TargetSpellings.h"

// The hyperlinks of the pages a crawl may read, parsed before it walks them, on as many
// threads as it may use. A page is kept in a few bytes a link, the numbers of their targets
// near its own number. The numbers are given on the calling thread, in the order of the
// pages. The texts of the links as found, which only the log needs, are mostly spelled from
// their targets when asked for (FoundSpelling); the others are kept, numbered.
class ParsedSite {
 public:
  // Parses `pages` on `threads` threads, the calling one included (one: on it alone); the
  // link targets and the pages are numbered in `targets`. `keepFound` keeps the links' texts
  // as found; `titles`, when given, gets the pages' titles. Each page parsed counts as one of
  // the control's `parsed`; a cancelled control stops it.
  void Parse(const CandidatePages& pages, const RunContext& context, PageNeeds needs, int threads,
             bool keepFound, TargetSpellings& targets, PageTitles* titles, RunControl* control);
  // Fills `page` with the page read as target `number`, when it was parsed here and read
  // whole, under `path`, without its title: its hyperlinks numbered (ParsedLink::number), and
  // with `withFound` their texts as found and their targets in its link texts (else none).
  // False when it is not here, or when the texts as found are asked for and were not kept.
  bool Take(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
            ParsedPage& page) const;
  size_t PageCount() const { return pageCount_; }

 private:
  // Where a page's bytes begin: the link count (times two, plus one when the texts as found
  // are kept), then per link the distance of its target's number from the page's, with
  // whether it is followed and, when the texts as found are kept, how its text as found is
  // spelled and the number of that text when it is kept itself; all variable-length numbers.
  struct Page {
    static constexpr uint32_t kNone = UINT32_MAX;
    uint32_t block = kNone;  // kNone: no page parsed
    uint32_t offset = 0;
  };

  void Keep(const ParsedPage& page, TargetSpellings& targets);
  void Store(Page& page);
  size_t AppendLinkTexts(uint32_t target, FoundSpelling spelling, uint64_t found, const std::string& path,
                         const TargetSpellings& targets, std::string& texts) const;

  std::vector<Page> pages_;  // by target number
  size_t pageCount_ = 0;
  std::vector<std::string> blocks_;  // of pages' bytes, filled one after another, never moved
  TargetSpellings found_;  // the texts of the links as found, where kept
  bool keepFound_ = false;
  std::string root_;  // of the site, without a trailing "/"
  std::string encoded_;  // of the page being kept
  mutable std::string targetText_;  // of the link being taken
};
