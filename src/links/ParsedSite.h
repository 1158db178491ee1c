#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/RunControl.h"
#include "links/CandidatePages.h"
#include "links/CrawlPage.h"
#include "links/FoundSpelling.h"
#include "links/ParseClock.h"
#include "links/ParseInOrder.h"
#include "links/TargetSpellings.h"

// The hyperlinks of the pages a crawl may read, parsed on other threads while it walks
// them. Up to 8 MB of pages wait as parsed; beyond that a page is kept in a few bytes a link,
// the numbers of their targets near its own number. The numbers are given on the calling thread. The texts of the links as found,
// which only the log needs, are mostly spelled from their targets when asked for
// (FoundSpelling); the others are kept, numbered.
class ParsedSite {
 public:
  // Starts parsing `pages` in their order on `threads` threads, the calling one included;
  // the calling thread keeps them as it takes them (TakeWaiting, Take, Finish). The pages
  // and link targets are numbered in `targets`. `keepFound` keeps the links' texts as found;
  // `titles`, when given, gets the pages' titles. Each page parsed counts as one of the
  // control's `parsed`; a cancelled control stops it. `targets`, `titles` and `control`
  // must outlive the parse.
  void Start(CandidatePages pages, const RunContext& context, PageNeeds needs, int threads, bool keepFound,
             TargetSpellings& targets, PageTitles* titles, RunControl* control);
  bool Started() const { return parse_.has_value(); }
  // The pages given that were parsed, on all threads, and the time spent on them.
  const ParseClock& Clock() const { return clock_; }
  // Keeps the pages parsed meanwhile, without waiting.
  void TakeWaiting() {
    if (parse_) parse_->TakeWaiting();
  }
  // Once the walk is done: takes the pages it did not reach, reading only their titles, and
  // only when the titles are asked for.
  void Finish();
  // How a page was taken: not (the caller reads it), kept encoded (its links numbered, its
  // title remembered), or whole, as ParsePage reads it (read now on the calling thread, or
  // waiting as parsed).
  enum class Taken { kNone, kKept, kRead };
  // Fills `page` with the page read as target `number` under `path`, when it is one of the
  // pages given and read whole. A page kept encoded comes without its title, its hyperlinks
  // numbered (ParsedLink::number), and with `withFound` their texts as found and their
  // targets in its link texts (else none). A page another thread parses is waited for; one
  // no thread took up yet is read now. kNone when it is not one of them, or not read, or
  // when the texts as found are asked for and were not kept.
  Taken Take(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
             ParsedPage& page);

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

  static constexpr uint32_t kNoCandidate = UINT32_MAX;

  void NumberCandidates(TargetSpellings& targets);
  bool IsKept(size_t number) const { return number < kept_.size() && kept_[number].block != Page::kNone; }
  void Parse(size_t i, ParsedPage& page, std::string& text);
  bool ReadNow(size_t i, ParsedPage& page);
  void Keep(ParsedPage& page, TargetSpellings& targets);
  bool TakeWhole(size_t number, ParsedPage& page);
  void Encode(const ParsedPage& page, size_t number, TargetSpellings& targets);
  void Store(Page& page);
  void Decode(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
              ParsedPage& page) const;
  size_t AppendLinkTexts(uint32_t target, FoundSpelling spelling, uint64_t found, const std::string& path,
                         const TargetSpellings& targets, std::string& texts) const;

  const RunContext* context_ = nullptr;
  PageNeeds needs_;
  std::string text_;  // room to read the caller's pages
  std::optional<CandidatePages> pages_;
  std::vector<uint32_t> candidates_;  // by target number: the page's place in pages_, or kNoCandidate
  std::vector<Page> kept_;  // by target number
  std::unordered_map<size_t, ParsedPage> whole_;  // pages kept as parsed, by target number
  size_t wholeBytes_ = 0;
  std::vector<std::string> blocks_;  // of pages' bytes, filled one after another, never moved
  TargetSpellings found_;  // the texts of the links as found, where kept
  bool keepFound_ = false;
  PageTitles* titles_ = nullptr;
  std::atomic<bool> walked_{false};  // the walk is done: only titles are read
  std::string root_;  // of the site, without a trailing "/"
  std::string encoded_;  // of the page being kept
  mutable std::string targetText_;  // of the link being taken
  ParseClock clock_;
  std::optional<ParseInOrder> parse_;  // last: its threads stop before the rest goes
};
