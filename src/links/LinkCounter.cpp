#include "links/LinkCounter.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "common/HashSlots.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "links/CrawlPage.h"
#include "links/LinkResolution.h"
#include "links/PageReadAhead.h"
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

// Why a page that is there was not read.
std::string UnreadReason(const std::string& path, int64_t maxBytes) {
  const std::optional<FileStatus> status = GetFileStatus(path);
  if (status && !status->isFolder && status->size > static_cast<uint64_t>(maxBytes))
    return "larger than nMaxPageBytes=" + std::to_string(maxBytes);
  return ReadProblem(path);
}

// Every target spelling met in a crawl, exactly as resolved, numbered, with its count entry
// and whether it was taken up: a spelling met before needs no case-blind lookup in the count
// table. The texts lie side by side in the order met, as the links of a page mostly lead
// to targets met together, and the lookup made for every link touches few cache lines.
class TargetSpellings {
 public:
  struct Target {
    int32_t entry = -1;  // position in the count table; -1 until it is linked
    bool takenUp = false;
    bool askedAhead = false;  // asked of the read-ahead and neither taken nor dropped yet
    bool pageTaken = false;   // of a lower-case spelling: a page of this path, ignoring case, taken up
    int8_t kept = -1;  // whether the site map lists it; -1 until asked
  };
  // The number of `text`, given when it is new; numbers stay valid as spellings are added.
  size_t Number(std::string_view text) {
    slots_.Reserve(records_.size() + 1, [this](size_t number) { return Hash(Text(number)); });
    const uint64_t hash = Hash(text);
    HashSlots::Slot& slot = slots_.Find(hash, Matching{*this, text});
    if (slot.Free()) {
      slot.Fill(hash, records_.size());
      records_.push_back({texts_.size(), static_cast<uint32_t>(text.size()), {}});
      texts_.append(text);
    }
    return slot.Position();
  }
  Target& operator[](size_t number) { return records_[number].target; }
  std::string_view Text(size_t number) const {
    return std::string_view(texts_).substr(records_[number].offset, records_[number].length);
  }

 private:
  struct Record {
    size_t offset = 0;  // of the text in texts_
    uint32_t length = 0;
    Target target;
  };
  struct Matching {
    const TargetSpellings& spellings;
    std::string_view text;
    bool operator()(size_t number) const { return spellings.Text(number) == text; }
  };
  static uint64_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

  std::vector<Record> records_;
  std::string texts_;
  HashSlots slots_;
};

// Targets asked of the read-ahead at most: about as many as it may hold parsed.
constexpr size_t kAskedAheadPerWorker = 128;
// The stacked targets looked at for new ones to ask, after each page.
constexpr size_t kLookedAtPerWorker = 512;

// One crawl of a site. A stack of target numbers stands in for recursion: a long chain of
// pages cannot overflow the call stack, and popping the targets in anchor order keeps the
// depth-first order. With workers, the targets on top of the stack are read ahead.
class Crawl {
 public:
  Crawl(LinkCountTable& table, const RunContext& context, PageTitles& titles,
        std::vector<std::string>& warnings, const CrawlOptions& options)
      : table_(table), context_(context), titles_(titles), warnings_(warnings), options_(options),
        needs_{options.titles, options.observer != nullptr} {
    if (options.jobs > 1)
      readAhead_.emplace(options.jobs - 1, [this](const std::string& target) { return Parse(target); });
  }

  void Run(const std::string& startPage) {
    // Counted when linked, never read: the map of the last run must not count.
    if (!context_.outputPath.empty()) FirstTakenIgnoringCase(context_.outputPath);
    pending_.push_back(static_cast<uint32_t>(targets_.Number(startPage)));
    while (!pending_.empty() && !Cancelled(options_.control)) {
      const size_t number = pending_.back();
      pending_.pop_back();
      if (!targets_[number].takenUp) TakeUp(number);  // else taken up since it was pushed
    }
  }

 private:
  ParsedPage Parse(const std::string& target) const { return ParsePage(target, context_, needs_); }

  void TakeUp(size_t number) {
    const ParsedPage page = targets_[number].askedAhead ? TakeAhead(number)
                                                        : Parse(std::string(targets_.Text(number)));
    if (page.read == PageRead::kTooLarge) TraceTooLarge(page.path, context_.maxPageBytes);
    targets_[number].takenUp = true;
    const size_t read = targets_.Number(page.path);
    if (targets_[read].askedAhead) Forget(read);  // a folder's page, asked under its own name
    targets_[read].takenUp = true;
    if (!FirstTakenIgnoringCase(page.path) || !IsPageExtension(page.path)) return;
    // The start page, or a folder's index page, may be left out of the map.
    if (options_.keeps && !options_.keeps(page.path)) return;
    if (page.read != PageRead::kRead) {
      TraceProblem("Error:Couldn't open file:" + page.path);
      // A missing page is a broken link; one that is there but unread leaves counts out.
      if (PathExists(page.path))
        warnings_.push_back("couldn't read page " + page.path + ": " + UnreadReason(page.path, context_.maxPageBytes));
      return;
    }
    if (options_.titles) titles_.Remember(page.path, page.title);
    if (options_.observer != nullptr) options_.observer->PageRead(page.path, page.text);
    CountLinks(page);
    Advance(options_.control, &RunProgress::pages);
    if (readAhead_) AskAhead();
  }

  // Logs and counts the links of a page and stacks those not taken up yet, the first on top.
  void CountLinks(const ParsedPage& page) {
    const bool tracing = TraceLog::Instance().Keeps(LogDetail::kFull);
    const size_t stacked = pending_.size();
    std::string_view texts = page.linkTexts;
    for (const ParsedLink& link : page.links) {
      const std::string_view href = texts.substr(0, link.hrefLength);
      const bool asWritten = link.foundLength == ParsedLink::kFoundAsWritten;
      const size_t foundLength = asWritten ? 0 : link.foundLength;
      const std::string_view found = asWritten ? href : texts.substr(link.hrefLength, foundLength);
      const std::string_view path = texts.substr(link.hrefLength + foundLength, link.targetLength);
      texts.remove_prefix(link.hrefLength + foundLength + link.targetLength);
      if (tracing) {
        line_.assign("BuildPageRankInfo()-found link:").append(found);
        Trace(line_.append(", abs:").append(path));
      }
      const size_t number = targets_.Number(path);
      TargetSpellings::Target& target = targets_[number];
      if (!Kept(target, number)) continue;
      if (target.entry < 0) target.entry = static_cast<int32_t>(table_.Add(LinkKey(std::string(path))));
      else table_.AddAt(static_cast<size_t>(target.entry));
      if (link.follow && !target.takenUp) pending_.push_back(static_cast<uint32_t>(number));
      if (options_.observer != nullptr) TellObserver(link, href, found, path);
    }
    std::reverse(pending_.begin() + static_cast<std::ptrdiff_t>(stacked), pending_.end());
  }

  // Most paths are lower case already: the page's own spelling then holds the mark.
  bool FirstTakenIgnoringCase(const std::string& path) {
    TargetSpellings::Target& folded = targets_[targets_.Number(ToLowerAscii(path))];
    return !std::exchange(folded.pageTaken, true);
  }

  void TellObserver(const ParsedLink& link, std::string_view href, std::string_view found,
                    std::string_view path) {
    linkInfo_.href = href;
    linkInfo_.offset = link.offset;
    resolved_.found = found;
    resolved_.target = path;
    resolved_.follow = link.follow;
    options_.observer->LinkFound(linkInfo_, resolved_);
  }

  bool Kept(TargetSpellings::Target& target, size_t number) {
    if (!options_.keeps) return true;
    if (target.kept < 0) target.kept = options_.keeps(std::string(targets_.Text(number)));
    return target.kept != 0;
  }

  // Asks the read-ahead for the targets nearest the top of the stack, those to be taken up
  // soonest, as far as it takes more.
  void AskAhead() {
    const size_t workers = static_cast<size_t>(options_.jobs - 1);
    size_t looked = 0;
    for (auto it = pending_.rbegin(); it != pending_.rend() && looked < kLookedAtPerWorker * workers &&
                                      askedAhead_ < kAskedAheadPerWorker * workers;
         ++it, ++looked) {
      TargetSpellings::Target& target = targets_[*it];
      if (target.takenUp || target.askedAhead) continue;
      target.askedAhead = true;
      ++askedAhead_;
      asks_.emplace_back(*it, targets_.Text(*it));
    }
    readAhead_->Ask(asks_);
  }

  ParsedPage TakeAhead(size_t number) {
    targets_[number].askedAhead = false;
    --askedAhead_;
    return readAhead_->Take(number);
  }

  void Forget(size_t number) {
    targets_[number].askedAhead = false;
    --askedAhead_;
    readAhead_->Drop(number);
  }

  LinkCountTable& table_;
  const RunContext& context_;
  PageTitles& titles_;
  std::vector<std::string>& warnings_;
  const CrawlOptions& options_;
  const PageNeeds needs_;
  TargetSpellings targets_;
  std::vector<uint32_t> pending_;  // target numbers, as few as the slots' positions
  size_t askedAhead_ = 0;
  std::vector<std::pair<size_t, std::string>> asks_;  // serves page after page
  // Buffers that serve link after link.
  std::string line_;
  LinkInfo linkInfo_;
  ResolvedLink resolved_;
  std::optional<PageReadAhead> readAhead_;  // last: its workers stop before the rest goes
};

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
  Crawl(table, context, titles, warnings, options).Run(pagePath);
}

void CountSiteLinks(const std::string& startFolder, const RunContext& context, LinkCountTable& table,
                    PageTitles& titles, std::vector<std::string>& warnings, const CrawlOptions& options) {
  const std::string startPage = ChooseStartPage(startFolder, context.outputPath);
  Trace("Starting with:" + startPage);
  BuildPageRankInfo(startPage, table, context, titles, warnings, options);
  SortLinkCounts(table);
}
