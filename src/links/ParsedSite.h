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
// threads as it may use. A link keeps only the crawl's number of its target, so that a
// large site's links fit in memory at once; the numbers are given on the calling thread, in
// the order of the pages. The texts of the links as found, which only the log needs, are
// kept for as many links as the log can hold.
class ParsedSite {
 public:
  // Parses `pages` with `workers` threads beside the calling one (none: on it alone); the
  // link targets and the pages are numbered in `targets`. Stops when `control` is cancelled.
  // `keepFound` keeps the links' texts as found.
  void Parse(const CandidatePages& pages, const RunContext& context, PageNeeds needs, int workers,
             bool keepFound, TargetSpellings& targets, const RunControl* control);
  // Fills `page` with the page read as target `number`, when it was parsed here and read
  // whole, under `path`: its hyperlinks numbered (ParsedLink::number), and with `withFound`
  // their texts as found and their targets in its link texts (else none). False when it was
  // not, or when the texts as found are asked for and were not kept.
  bool Take(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
            ParsedPage& page) const;
  size_t PageCount() const { return pages_.size(); }

 private:
  struct Page {
    uint32_t block = 0;   // of its first word in blocks_
    uint32_t offset = 0;
    uint32_t linkCount = 0;
    uint32_t titleLength = 0;
    size_t titleOffset = 0;
    bool withFound = false;  // each link's word is followed by the number of its text as found
  };

  void Keep(const ParsedPage& page, TargetSpellings& targets);
  void Store(const std::vector<uint32_t>& words, Page& page);

  std::vector<Page> pages_;
  std::vector<uint32_t> pageOf_;  // by target number: its page + 1, or 0
  // Per link its target's number and whether it is followed, as target * 2 + follow. In
  // blocks that are never moved, so that growing them does not take the room twice.
  std::vector<std::vector<uint32_t>> blocks_;
  std::string titles_;
  TargetSpellings found_;  // the texts of the links as found
  size_t foundKept_ = 0;   // links whose text as found is kept
  bool keepFound_ = false;
  std::vector<uint32_t> words_;  // of the page being kept
};
