#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/RunControl.h"
#include "links/CandidatePages.h"
#include "links/CrawlPage.h"
#include "links/TargetSpellings.h"

// The hyperlinks of the pages a crawl may read, parsed before it walks them, on as many
// threads as it may use. A link keeps only the crawl's number of its target and of its
// text as found (for the log), so a large site's links fit in memory at once; the numbers
// are given on the calling thread, in the order of the pages.
class ParsedSite {
 public:
  // Parses `pages` with `workers` threads beside the calling one (none: on it alone); the
  // link targets and the pages are numbered in `targets`. Stops when `control` is cancelled.
  // `keepFound` keeps the links' texts as found.
  void Parse(const CandidatePages& pages, const RunContext& context, PageNeeds needs, int workers,
             bool keepFound, TargetSpellings& targets, const RunControl* control);
  // Fills `page` with the page read as target `number`, when it was parsed here and read
  // whole, under `path`: its hyperlinks numbered (ParsedLink::number), the texts as found
  // and the targets spelled in its link texts. False when it was not.
  bool Take(size_t number, const std::string& path, const TargetSpellings& targets, ParsedPage& page) const;
  // Whether the pages are parsed; none are when the run was cancelled early.
  size_t PageCount() const { return pages_.size(); }

 private:
  struct Page {
    size_t firstLink = 0;
    size_t titleOffset = 0;
    uint32_t linkCount = 0;
    uint32_t titleLength = 0;
  };
  struct Link {
    uint32_t target : 31 = 0;
    uint32_t follow : 1 = 0;
    uint32_t found = kNoText;
  };
  static constexpr uint32_t kNoText = UINT32_MAX;

  void Keep(const ParsedPage& page, TargetSpellings& targets);

  std::vector<Page> pages_;
  std::vector<uint32_t> pageOf_;  // by target number: its page + 1, or 0
  std::vector<Link> links_;
  std::string titles_;
  TargetSpellings found_;  // the texts of the links as found
  bool keepFound_ = false;
};
