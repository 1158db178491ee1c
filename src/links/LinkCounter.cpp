#include "links/LinkCounter.h"

#include <algorithm>
#include <optional>
#include <span>
#include <unordered_set>
#include <utility>

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

// Counts the links of one page; returns the local targets to read next, in anchor order.
std::vector<std::string> CountPageLinks(const std::string& page, const std::string& text,
                                        LinkCountTable& table, const RunContext& context) {
  XmlCursor cursor(text);
  std::vector<LinkInfo> links;
  ExtractLinks(cursor, links, true);
  const LinkResolver resolver(page, context);
  const bool tracing = !TraceLog::Instance().IsLogOff();
  std::vector<std::string> follow;
  std::string line;  // one buffer for the page's trace lines, not an allocation per link
  for (const LinkInfo& link : links) {
    ResolvedLink resolved = resolver.Resolve(link.href);
    if (tracing) {
      line.assign("BuildPageRankInfo()-found link:").append(resolved.found);
      Trace(line.append(", abs:").append(resolved.target));
    }
    table.Add(LinkKey(resolved.target));
    if (resolved.follow) follow.push_back(std::move(resolved.target));
  }
  return follow;
}

// A set of exact texts in open addressing with the texts in the slots: a lookup, made for
// every link followed, reads a slot and its text where a node set chases three pointers.
class TextSet {
 public:
  bool Contains(const std::string& text) const {
    return !slots_.empty() && slots_[SlotOf(text, Hash(text))].used;
  }
  void Insert(const std::string& text) {
    if ((size_ + 1) * 2 > slots_.size()) Grow();
    const size_t hash = Hash(text);
    Slot& slot = slots_[SlotOf(text, hash)];
    if (slot.used) return;
    slot = {hash, text, true};
    ++size_;
  }

 private:
  struct Slot {
    size_t hash = 0;
    std::string text;
    bool used = false;
  };
  static size_t Hash(const std::string& text) { return std::hash<std::string>{}(text); }
  // The slot holding `text`, or the free slot where it belongs.
  size_t SlotOf(const std::string& text, size_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.used || (slot.hash == hash && slot.text == text)) return i;
    }
  }
  void Grow() {
    const size_t capacity = std::max<size_t>(slots_.size() * 2, 1024);
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(capacity));
    for (Slot& slot : old)
      if (slot.used) slots_[SlotOf(slot.text, slot.hash)] = std::move(slot);
  }

  std::vector<Slot> slots_;  // a power of two of them, at most half used
  size_t size_ = 0;
};

// The pages taken up so far, compared ignoring case, and the exact spellings known to end
// at one of them (a target spelt so need not wait on the stack).
struct Visited {
  std::unordered_set<std::string> folded;
  TextSet spellings;
};

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
  Visited visited;
  while (!pending.empty()) {
    const std::string target = std::move(pending.back());
    pending.pop_back();
    if (visited.spellings.Contains(target)) continue;  // taken up since it was pushed
    const TakenPage page = TakeUp(target);
    visited.spellings.Insert(target);
    visited.spellings.Insert(page.path);
    if (!visited.folded.insert(ToLowerAscii(page.path)).second || !IsPageExtension(page.path))
      continue;
    if (!page.text) {
      Trace("Error:Couldn't open file:" + page.path);
      continue;
    }
    titles.Remember(page.path, *page.text);
    std::vector<std::string> follow = CountPageLinks(page.path, *page.text, table, context);
    for (auto it = follow.rbegin(); it != follow.rend(); ++it) {
      if (!visited.spellings.Contains(*it)) pending.push_back(std::move(*it));
    }
  }
}

void CountSiteLinks(const std::string& startFolder, const RunContext& context, LinkCountTable& table,
                    PageTitles& titles) {
  const std::string startPage = ChooseStartPage(startFolder);
  Trace("Starting with:" + startPage);
  BuildPageRankInfo(startPage, table, context, titles);
  SortLinkCounts(table);
}
