#include "links/LinkCounter.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "common/HashSlots.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
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

struct TakenPage {
  std::string path;
  std::optional<std::string> text;  // none when the path is no page or cannot be read
};

// A target naming a page is read straight away; only when that fails is it looked at as a
// folder, which spares a stat per page.
TakenPage ReadTarget(const std::string& target, int64_t maxBytes) {
  if (IsPageExtension(target)) {
    if (std::optional<std::string> text = TryReadTextFile(target, maxBytes)) return {target, std::move(text)};
  }
  std::string page = DefaultDocument(target);
  if (!IsPageExtension(page)) return {std::move(page), std::nullopt};
  return {page, TryReadTextFile(page, maxBytes)};
}

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
    int64_t entry = -1;  // position in the count table; -1 until it is linked
    bool takenUp = false;
    int8_t kept = -1;  // whether the site map lists it; -1 until asked
  };
  // The number of `text`, given when it is new; numbers stay valid as spellings are added.
  size_t Number(std::string_view text) {
    slots_.Reserve(records_.size() + 1, [this](size_t number) { return Hash(Text(number)); });
    const uint64_t hash = Hash(text);
    HashSlots::Slot& slot = slots_.Find(hash, Matching{*this, text});
    if (slot.Free()) {
      slot.Fill(hash, records_.size());
      records_.push_back({texts_.size(), text.size(), {}});
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
    size_t length = 0;
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

// One crawl of a site. A stack of target numbers stands in for recursion: a long chain of
// pages cannot overflow the call stack, and popping the targets in anchor order keeps the
// depth-first order.
class Crawl {
 public:
  Crawl(LinkCountTable& table, const RunContext& context, PageTitles& titles,
        std::vector<std::string>& warnings, const KeepsPath& keeps, CrawlObserver* observer,
        RunControl* control)
      : table_(table), context_(context), titles_(titles), warnings_(warnings), keeps_(keeps),
        observer_(observer), control_(control) {}

  void Run(const std::string& startPage) {
    // Counted when linked, never read: the map of the last run must not count.
    if (!context_.outputPath.empty()) takenFolded_.insert(ToLowerAscii(context_.outputPath));
    pending_.push_back(targets_.Number(startPage));
    while (!pending_.empty() && !Cancelled(control_)) {
      const size_t number = pending_.back();
      pending_.pop_back();
      if (!targets_[number].takenUp) TakeUp(number);  // else taken up since it was pushed
    }
  }

 private:
  void TakeUp(size_t number) {
    const TakenPage page = ReadTarget(std::string(targets_.Text(number)), context_.maxPageBytes);
    targets_[number].takenUp = true;
    targets_[targets_.Number(page.path)].takenUp = true;
    if (!takenFolded_.insert(ToLowerAscii(page.path)).second || !IsPageExtension(page.path)) return;
    // The start page, or a folder's index page, may be left out of the map.
    if (keeps_ && !keeps_(page.path)) return;
    if (!page.text) {
      TraceProblem("Error:Couldn't open file:" + page.path);
      // A missing page is a broken link; one that is there but unread leaves counts out.
      if (PathExists(page.path))
        warnings_.push_back("couldn't read page " + page.path + ": " + UnreadReason(page.path, context_.maxPageBytes));
      return;
    }
    titles_.Remember(page.path, *page.text);
    if (observer_ != nullptr) observer_->PageRead(page.path, *page.text);
    CountLinks(page.path, *page.text);
    Advance(control_, &RunProgress::pages);
  }

  // Logs and counts the links of a page and stacks those not taken up yet, the first on top.
  void CountLinks(const std::string& page, const std::string& text) {
    XmlCursor cursor(text);
    links_.clear();
    ExtractLinks(cursor, links_, true);
    const LinkResolver resolver(page, context_);
    const bool tracing = TraceLog::Instance().Keeps(LogDetail::kFull);
    const size_t stacked = pending_.size();
    for (const LinkInfo& link : links_) {
      resolver.Resolve(link.href, resolved_);
      if (tracing) {
        line_.assign("BuildPageRankInfo()-found link:").append(resolved_.found);
        Trace(line_.append(", abs:").append(resolved_.target));
      }
      const size_t number = targets_.Number(resolved_.target);
      TargetSpellings::Target& target = targets_[number];
      if (!Kept(target, number)) continue;
      if (target.entry < 0) target.entry = static_cast<int64_t>(table_.Add(LinkKey(resolved_.target)));
      else table_.AddAt(static_cast<size_t>(target.entry));
      if (resolved_.follow && !target.takenUp) pending_.push_back(number);
      if (observer_ != nullptr) observer_->LinkFound(link, resolved_);
    }
    std::reverse(pending_.begin() + static_cast<std::ptrdiff_t>(stacked), pending_.end());
  }

  bool Kept(TargetSpellings::Target& target, size_t number) {
    if (!keeps_) return true;
    if (target.kept < 0) target.kept = keeps_(std::string(targets_.Text(number)));
    return target.kept != 0;
  }

  LinkCountTable& table_;
  const RunContext& context_;
  PageTitles& titles_;
  std::vector<std::string>& warnings_;
  const KeepsPath& keeps_;
  CrawlObserver* observer_;
  RunControl* control_;
  TargetSpellings targets_;
  std::vector<size_t> pending_;
  std::unordered_set<std::string> takenFolded_;  // the pages taken up, compared ignoring case
  // Buffers that serve page after page.
  std::vector<LinkInfo> links_;
  ResolvedLink resolved_;
  std::string line_;
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
                       const KeepsPath& keeps, CrawlObserver* observer, RunControl* control) {
  Crawl(table, context, titles, warnings, keeps, observer, control).Run(pagePath);
}

void CountSiteLinks(const std::string& startFolder, const RunContext& context, LinkCountTable& table,
                    PageTitles& titles, std::vector<std::string>& warnings, const KeepsPath& keeps,
                    CrawlObserver* observer, RunControl* control) {
  const std::string startPage = ChooseStartPage(startFolder, context.outputPath);
  Trace("Starting with:" + startPage);
  BuildPageRankInfo(startPage, table, context, titles, warnings, keeps, observer, control);
  SortLinkCounts(table);
}
