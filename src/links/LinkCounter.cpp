#include "links/LinkCounter.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <optional>
#include <span>
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

namespace {

// A folder stands for its index.htm, else its index.html, else itself: a .php page is
// not read, so it is not looked for.
std::string DefaultDocument(const std::string& path) {
  if (!IsFolder(path)) return path;
  for (const char* name : std::span(kDefaultDocuments).first(2)) {
    const std::string page = JoinPath(path, name);
    if (PathExists(page)) return page;
  }
  return path;
}

struct TakenPage {
  std::string path;
  std::optional<std::string> text;  // none when the path is no page or cannot be read
};

// A target naming a page is read straight away; only when that fails is it looked at as a
// folder, which spares a stat per page.
TakenPage TakeUp(const std::string& target) {
  if (IsPageExtension(target)) {
    if (std::optional<std::string> text = TryReadTextFile(target)) return {target, std::move(text)};
  }
  std::string page = DefaultDocument(target);
  if (!IsPageExtension(page)) return {std::move(page), std::nullopt};
  return {page, TryReadTextFile(page)};
}

// Every target spelling met in a crawl, exactly as resolved, with its count entry and
// whether it was taken up: a spelling met before needs no case-blind lookup in the count
// table. The texts lie side by side in the order met, as the links of a page mostly lead
// to targets met together, and the lookup made for every link touches few cache lines.
class TargetSpellings {
 public:
  struct Target {
    int64_t entry = -1;  // position in the count table; -1 until it is linked
    bool takenUp = false;
  };
  bool TakenUp(std::string_view text) const {
    const HashSlots::Slot* slot = slots_.FindUsed(Hash(text), Matching{*this, text});
    return slot != nullptr && records_[slot->Position()].target.takenUp;
  }
  // The record of `text`, made when new; valid until the next call.
  Target& Find(std::string_view text) {
    slots_.Reserve(records_.size() + 1, [this](size_t number) { return Hash(TextOf(number)); });
    const uint64_t hash = Hash(text);
    HashSlots::Slot& slot = slots_.Find(hash, Matching{*this, text});
    if (slot.Free()) {
      slot.Fill(hash, records_.size());
      records_.push_back({texts_.size(), text.size(), {}});
      texts_.append(text);
    }
    return records_[slot.Position()].target;
  }

 private:
  struct Record {
    size_t offset = 0;  // of the text in texts_
    size_t length = 0;
    Target target;
  };
  static uint64_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }
  std::string_view TextOf(size_t number) const {
    return std::string_view(texts_).substr(records_[number].offset, records_[number].length);
  }
  struct Matching {
    const TargetSpellings& spellings;
    std::string_view text;
    bool operator()(size_t number) const { return spellings.TextOf(number) == text; }
  };

  std::vector<Record> records_;
  std::string texts_;
  HashSlots slots_;
};

// Counts the links of one page and appends to `follow` the local targets not taken up yet,
// in anchor order.
void CountPageLinks(const std::string& page, const std::string& text, const RunContext& context,
                    LinkCountTable& table, TargetSpellings& targets, std::vector<std::string>& follow) {
  XmlCursor cursor(text);
  std::vector<LinkInfo> links;
  ExtractLinks(cursor, links, true);
  const LinkResolver resolver(page, context);
  const bool tracing = !TraceLog::Instance().IsLogOff();
  ResolvedLink resolved;  // its buffers and the line's serve every link of the page
  std::string line;
  for (const LinkInfo& link : links) {
    resolver.Resolve(link.href, resolved);
    if (tracing) {
      line.assign("BuildPageRankInfo()-found link:").append(resolved.found);
      Trace(line.append(", abs:").append(resolved.target));
    }
    TargetSpellings::Target& target = targets.Find(resolved.target);
    if (target.entry < 0) target.entry = static_cast<int64_t>(table.Add(LinkKey(resolved.target)));
    else table.AddAt(static_cast<size_t>(target.entry));
    if (resolved.follow && !target.takenUp) follow.push_back(resolved.target);
  }
}

}  // namespace

std::string ChooseStartPage(const std::string& startFolder) {
  for (const char* name : kDefaultDocuments) {
    const std::string page = startFolder + "/" + name;
    if (PathExists(page)) return page;
  }
  if (const auto entries = ListFolder(startFolder)) {
    for (const FolderEntry& entry : *entries) {
      if (!entry.status.isFolder && IsPageExtension(entry.name)) return startFolder + "/" + entry.name;
    }
  }
  return startFolder + "/index.php";
}

void BuildPageRankInfo(const std::string& pagePath, LinkCountTable& table, const RunContext& context,
                       PageTitles& titles) {
  // An explicit stack in place of recursion: a long chain of pages cannot overflow the
  // call stack, and popping the targets in anchor order keeps the depth-first order.
  std::vector<std::string> pending{ToSlashes(pagePath)};
  TargetSpellings targets;
  std::unordered_set<std::string> takenFolded;  // the pages taken up, compared ignoring case
  std::vector<std::string> follow;
  while (!pending.empty()) {
    const std::string target = std::move(pending.back());
    pending.pop_back();
    if (targets.TakenUp(target)) continue;  // taken up since it was pushed
    const TakenPage page = TakeUp(target);
    targets.Find(target).takenUp = true;
    targets.Find(page.path).takenUp = true;
    if (!takenFolded.insert(ToLowerAscii(page.path)).second || !IsPageExtension(page.path)) continue;
    if (!page.text) {
      Trace("Error:Couldn't open file:" + page.path);
      continue;
    }
    titles.Remember(page.path, *page.text);
    follow.clear();
    CountPageLinks(page.path, *page.text, context, table, targets, follow);
    std::move(follow.rbegin(), follow.rend(), std::back_inserter(pending));
  }
}

void CountSiteLinks(const std::string& startFolder, const RunContext& context, LinkCountTable& table,
                    PageTitles& titles) {
  const std::string startPage = ChooseStartPage(startFolder);
  Trace("Starting with:" + startPage);
  BuildPageRankInfo(startPage, table, context, titles);
  SortLinkCounts(table);
}
