#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "links/CrawlPage.h"
#include "links/LinkCounter.h"
#include "links/PageReadAhead.h"
#include "links/ParsedSite.h"
#include "links/TargetSpellings.h"

// What the crawl makes of a page it has taken up.
enum class PageUse {
  kPassedOver,  // read before under another spelling, no page, or left out of the map
  kUnread,      // a page the map lists that could not be read
  kCounted,     // read: its links count
};

// A page in crawl order, with all the counting of it needs: the number of every link's
// target spelling (ParsedLink::target) and, for a page that is there but unread, why.
struct TakenPage {
  ParsedPage page;
  PageUse use = PageUse::kPassedOver;
  std::string warning;
  // Set for a page parsed and kept aside, whose title is remembered already: where the
  // targets are spelled of links whose texts it leaves out (when the log takes no lines
  // about them); valid until the next page.
  const TargetSpellings* spellings = nullptr;
};

// Decides the depth-first order of a crawl: reads and parses each page, passes over what
// was taken up before or is left out, and stacks the targets of its links, the first on
// top. It logs nothing and touches nothing of the counting, so it may run on a thread of
// its own ahead of it. With workers, the targets on top of the stack are read ahead.
class CrawlOrder {
 public:
  CrawlOrder(const RunContext& context, const CrawlOptions& options, PageNeeds needs, int readAheadWorkers);

  void Start(const std::string& startPage);
  // Starts parsing every page below the run's root that the crawl may read, on `threads`
  // threads, this one included, in listing order while the crawl takes them up in its own;
  // `keepFound` keeps the links' texts as found for the log, and `titles` (when given) gets
  // the pages' titles. The crawl reads itself what no other thread took up yet, and what the
  // listing missed.
  void ParseAhead(int threads, bool keepFound, PageTitles* titles, RunControl* control);
  // Reads the titles of the pages that the crawl did not reach, when they are asked for.
  void FinishParse() { parsed_.Finish(); }
  // The pages parsed of those listed, and the time spent on them: added over the threads,
  // and the part of it on this one.
  const ParseClock& Clock() const { return parsed_.Clock(); }
  // The next page taken up; false when the crawl is done.
  bool Next(TakenPage& taken);

 private:
  ParsedPage Parse(const std::string& target) const;
  std::optional<size_t> TakeParsed(size_t number, TakenPage& taken);
  size_t TakenBefore(size_t number, std::string path, TakenPage& taken);
  void TakeUp(size_t number, TakenPage& taken);
  PageUse UseOf(const ParsedPage& page, size_t number);
  void StackLinks(ParsedPage& page);
  void ThinOutStack();
  bool FirstTaken(size_t number);
  bool Kept(TargetSpellings::Target& target, size_t number);
  void AskAhead();
  ParsedPage TakeAhead(size_t number);
  void Forget(size_t number);

  const RunContext& context_;
  const CrawlOptions& options_;
  const PageNeeds needs_;
  const size_t readAheadWorkers_;
  TargetSpellings targets_;
  ParsedSite parsed_;
  std::vector<uint32_t> pending_;  // target numbers, as few as the slots' positions
  size_t thinnedSize_ = 0;  // of pending_ when last thinned out
  size_t askedAhead_ = 0;
  std::vector<std::pair<size_t, std::string>> asks_;  // serves page after page
  std::string text_;  // of the page read, serving page after page
  std::optional<PageReadAhead> readAhead_;  // last: its workers stop before the rest goes
};
