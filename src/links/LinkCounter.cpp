#include "links/LinkCounter.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <thread>
#include <utility>

#include "common/Paths.h"
#include "links/CrawlOrder.h"
#include "links/PageHandOver.h"
#include "links/PageTitle.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"

// A .php page is not read, so it is not looked for.
std::string DefaultDocument(const std::string& path) {
  if (!IsFolder(path)) return path;
  for (const char* name : std::span(kDefaultDocuments).first(2)) {
    const std::string page = ChildPath(path, name);
    if (PathExists(page)) return page;
  }
  return path;
}

namespace {

// The log's lines about a page's links go in runs of this many: a page may hold thousands.
constexpr size_t kLinesAtOnce = 256;
// Such a line: each text followed by the link as found and its target.
constexpr std::string_view kLinkLine[] = {"BuildPageRankInfo()-found link:", ", abs:"};

size_t HyperlinkCount(const ParsedPage& page) {
  return static_cast<size_t>(std::ranges::count(page.links, LinkKind::kHyperlink, &ParsedLink::kind));
}

// Counts the pages of a crawl in the order taken up: logs and counts their links, tells
// the observer, keeps the titles and warnings. It runs on the caller's thread, so that the
// log and the observer see one thread, whether the order is decided beside it or not.
class CrawlCount {
 public:
  CrawlCount(LinkCountTable& table, const RunContext& context, PageTitles& titles,
             std::vector<std::string>& warnings, const CrawlOptions& options)
      : table_(table), context_(context), titles_(titles), warnings_(warnings), options_(options) {}

  void Count(const TakenPage& taken) {
    const ParsedPage& page = taken.page;
    if (page.read == PageRead::kTooLarge) TraceTooLarge(page.path, context_.maxPageBytes);
    if (taken.use == PageUse::kPassedOver) return;
    if (taken.use == PageUse::kUnread) {
      TraceProblem("Error:Couldn't open file:" + page.path);
      if (!taken.warning.empty()) warnings_.push_back(taken.warning);
      return;
    }
    if (options_.titles && taken.spellings == nullptr) titles_.Remember(page.path, page.title);
    if (options_.observer != nullptr) options_.observer->PageRead(page.path, page.text);
    CountLinks(page, taken.spellings);
    Advance(options_.control, &RunProgress::pages);
  }

 private:
  void CountLinks(const ParsedPage& page, const TargetSpellings* spellings) {
    const bool tracing = TraceLog::Instance().Keeps(LogDetail::kFull) &&
                         !TraceLog::Instance().LeavesOut("", HyperlinkCount(page));
    std::string_view rest = page.linkTexts;
    for (const ParsedLink& link : page.links) {
      const ParsedLinkTexts texts(link, rest);
      // Sources a page loads are only checked; the map counts hyperlinks.
      const bool hyperlink = link.kind == LinkKind::kHyperlink;
      if (tracing && hyperlink) {
        lineValues_.push_back(texts.found);
        lineValues_.push_back(texts.target);
        if (lineValues_.size() == kLinesAtOnce * std::size(kLinkLine)) TraceLines();
      }
      if (hyperlink && link.target == ParsedLink::kNotCounted) continue;
      if (hyperlink) CountTarget(link.target, texts.target, spellings);
      if (options_.observer == nullptr) continue;
      TraceLines();  // before what the observer logs
      TellObserver(link, texts);
    }
    TraceLines();
  }

  // Logs the lines about links gathered so far, in one go.
  void TraceLines() {
    if (lineValues_.empty()) return;
    TraceEachOfForm(kLinkLine, lineValues_);
    lineValues_.clear();
  }

  // `path` is the target's spelling, or empty when `spellings` has it.
  void CountTarget(uint32_t number, std::string_view path, const TargetSpellings* spellings) {
    if (number >= entries_.size()) entries_.resize(number + size_t{1}, -1);
    int32_t& entry = entries_[number];
    if (entry >= 0) return table_.AddAt(static_cast<size_t>(entry));
    const std::string key = LinkKey(path.empty() && spellings ? spellings->Text(number) : std::string(path));
    entry = static_cast<int32_t>(table_.Add(key));
  }

  void TellObserver(const ParsedLink& link, const ParsedLinkTexts& texts) {
    linkInfo_.href = texts.href;
    linkInfo_.offset = link.offset;
    linkInfo_.kind = link.kind;
    resolved_.found = texts.found;
    resolved_.target = texts.target;
    resolved_.beyondRoot = texts.beyondRoot;
    resolved_.follow = link.follow;
    options_.observer->LinkFound(linkInfo_, resolved_);
  }

  LinkCountTable& table_;
  const RunContext& context_;
  PageTitles& titles_;
  std::vector<std::string>& warnings_;
  const CrawlOptions& options_;
  std::vector<int32_t> entries_;  // by target number: its place in the count table, -1 until linked
  // The values of the log's lines about a page's links, line after line: views of the
  // page's texts, which outlive the run they are logged in.
  std::vector<std::string_view> lineValues_;
  LinkInfo linkInfo_;
  ResolvedLink resolved_;
};

// One thread decides the order and counts, page by page.
void CrawlOnOneThread(CrawlOrder& order, CrawlCount& count, const RunControl* control) {
  TakenPage taken;
  while (!Cancelled(control) && order.Next(taken)) count.Count(taken);
}

// The order is decided on a thread of its own, ahead of the counting on this one.
void CrawlOnTwoThreads(CrawlOrder& order, CrawlCount& count, const RunControl* control) {
  PageHandOver handOver;
  std::thread ahead([&] {
    TakenPage taken;
    while (order.Next(taken) && handOver.Give(taken)) {}
    handOver.Finish();
  });
  std::vector<TakenPage> batch;
  while (!Cancelled(control) && handOver.Take(batch))
    for (const TakenPage& taken : batch) {
      if (Cancelled(control)) break;
      count.Count(taken);
    }
  handOver.Stop();
  ahead.join();
}

// Every page the crawl may read is parsed on the other threads, in listing order, while
// this one walks them in crawl order; it reads itself what they have not taken up yet.
void CrawlBesideTheParse(CrawlOrder& order, CrawlCount& count, PageTitles& titles, const CrawlOptions& options) {
  RunTimes times;
  const auto start = std::chrono::steady_clock::now();
  const bool logsLinks = TraceLog::Instance().Keeps(LogDetail::kFull);
  order.ParseAhead(options.jobs, logsLinks, options.titles ? &titles : nullptr, options.control);
  CrawlOnOneThread(order, count, options.control);
  order.FinishParse();
  AddSecondsSince(start, times.walkSeconds);
  times.pagesParsed = order.Clock().Pages();
  times.parseSeconds = order.Clock().Seconds();
  times.walkSeconds -= order.Clock().OwnersSeconds();
  if (options.control != nullptr) options.control->times = times;
}

}  // namespace

std::string ChooseStartPage(const std::string& startFolder, const std::string& outputPath) {
  for (const char* name : kDefaultDocuments) {
    const std::string page = startFolder + "/" + name;
    if (page != outputPath && PathExists(page)) return page;
  }
  if (const auto entries = ListFolder(startFolder)) {
    for (const FolderEntry& entry : *entries) {
      const std::string page = startFolder + "/" + entry.name;
      if (!entry.status.isFolder && IsPageExtension(entry.name) && page != outputPath) return page;
    }
  }
  return startFolder + "/index.php";
}

void BuildPageRankInfo(const std::string& pagePath, LinkCountTable& table, const RunContext& context,
                       PageTitles& titles, std::vector<std::string>& warnings,
                       const CrawlOptions& options) {
  const PageNeeds needs{options.titles, options.observer != nullptr};
  CrawlCount count(table, context, titles, warnings, options);
  // An observer needs each page's text as it is counted, which the parsed site does not keep.
  if (options.observer == nullptr) {
    CrawlOrder order(context, options, needs, 0);
    order.Start(pagePath);
    CrawlBesideTheParse(order, count, titles, options);
    return;
  }
  // A thread decides the order beside the counting; more threads read pages ahead of it.
  CrawlOrder order(context, options, needs, options.jobs - 2);
  order.Start(pagePath);
  if (options.jobs > 1) CrawlOnTwoThreads(order, count, options.control);
  else CrawlOnOneThread(order, count, options.control);
}

void CountSiteLinks(const std::string& startFolder, const RunContext& context, LinkCountTable& table,
                    PageTitles& titles, std::vector<std::string>& warnings, const CrawlOptions& options) {
  const std::string startPage = ChooseStartPage(startFolder, context.outputPath);
  Trace("Starting with:" + startPage);
  BuildPageRankInfo(startPage, table, context, titles, warnings, options);
  SortLinkCounts(table);
}
