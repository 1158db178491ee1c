#include "links/LinkCountTable.h"

#include <algorithm>
#include <deque>

#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkResolution.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The part of a path SamePath compares: one trailing and one leading separator gone.
std::string_view ComparedPart(std::string_view path) {
  if (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  if (!path.empty() && IsSeparator(path.front())) path.remove_prefix(1);
  return path;
}

// A byte as the separator-blind comparisons see it. Letter case counts: on Linux only the
// exact spelling reaches a file.
char Folded(char c) { return c == '\\' ? '/' : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return Folded(x) == Folded(y); });
}

// FNV-1a over the folded bytes: texts equal but for the kind of separator hash alike, and
// no folded copy is made.
uint64_t FoldedHash(std::string_view text) {
  uint64_t hash = 14695981039346656037u;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(Folded(c))) * 1099511628211u;
  return hash;
}

// Answers both lookups over one set of keys in O(log n) and O(1). It holds views of the
// keys, whose texts must outlive it.
class KeyIndex {
 public:
  void Reserve(size_t count) {
    sorted_.reserve(count);
    exact_.reserve(count);
  }
  void Add(std::string_view key, int32_t count) {
    sorted_.emplace_back(key, count);
    // The first key in table order wins.
    const std::string_view part = ComparedPart(key);
    exactSlots_.Reserve(exact_.size() + 1,
                        [this](size_t position) { return FoldedHash(exact_[position].first); });
    const uint64_t hash = FoldedHash(part);
    HashSlots::Slot& slot = exactSlots_.Find(hash, Matching{*this, part});
    if (!slot.Free()) return;
    slot.Fill(hash, exact_.size());
    exact_.emplace_back(part, count);
  }
  void Finish() {
    std::sort(sorted_.begin(), sorted_.end());
    sums_.assign(1, 0);
    for (const auto& [key, count] : sorted_) sums_.push_back(sums_.back() + count);
  }
  // The count of the first key equal to `path` as SamePath compares.
  int32_t Exact(std::string_view path) const {
    const std::string_view part = ComparedPart(path);
    const HashSlots::Slot* slot = exactSlots_.FindUsed(FoldedHash(part), Matching{*this, part});
    return slot == nullptr ? 0 : exact_[slot->Position()].second;
  }
  // Keys that begin with `path` lie side by side in byte order.
  int32_t SumBelow(std::string_view path) const {
    const auto first = std::partition_point(sorted_.begin(), sorted_.end(),
                                            [&](const auto& item) { return item.first < path; });
    const auto last = std::partition_point(first, sorted_.end(),
                                           [&](const auto& item) { return item.first.starts_with(path); });
    const int64_t sum = sums_[static_cast<size_t>(last - sorted_.begin())] -
                        sums_[static_cast<size_t>(first - sorted_.begin())];
    return static_cast<int32_t>(std::min<int64_t>(sum, INT32_MAX));
  }

 private:
  struct Matching {
    const KeyIndex& index;
    std::string_view part;
    bool operator()(size_t position) const { return EqualFolded(index.exact_[position].first, part); }
  };

  std::vector<std::pair<std::string_view, int32_t>> sorted_;
  std::vector<int64_t> sums_;
  std::vector<std::pair<std::string_view, int32_t>> exact_;  // compared parts of the keys, each once
  HashSlots exactSlots_;
};

}  // namespace

// Built after the last change of the table, whose keys it views: any change drops it.
struct LinkCountTable::Index {
  RunContext context;
  std::deque<std::string> mappedKeys;  // keys of the own site mapped below the root
  KeyIndex local;  // every key as a local path compares with it
  KeyIndex web;    // the web addresses, for a web path
};

void LinkCountTable::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  slots_.Clear();
  index_.reset();
}

size_t LinkCountTable::Add(std::string_view key) {
  slots_.Reserve(entries_.size() + 1, [this](size_t position) { return HashOfEntry(position); });
  const uint64_t hash = FoldedHash(key);
  HashSlots::Slot& slot = SlotOf(key, hash);
  if (slot.Free()) {
    slot.Fill(hash, entries_.size());
    entries_.push_back({std::string(key), 0});
  }
  AddAt(slot.Position());
  return slot.Position();
}

void LinkCountTable::AddAt(size_t position) {
  ++entries_[position].count;
  index_.reset();
}

HashSlots::Slot& LinkCountTable::SlotOf(std::string_view key, uint64_t hash) {
  return slots_.Find(hash, [&](size_t position) {
    // Most links repeat a key's first spelling, which the plain comparison settles fast.
    const std::string& found = entries_[position].key;
    return found == key || EqualFolded(found, key);
  });
}

uint64_t LinkCountTable::HashOfEntry(size_t position) const { return FoldedHash(entries_[position].key); }

const LinkCountTable::Index& LinkCountTable::IndexFor(const RunContext& context) const {
  if (index_ && index_->context.root == context.root && index_->context.domain == context.domain)
    return *index_;
  auto index = std::make_shared<Index>();
  index->context = context;
  index->local.Reserve(entries_.size());
  for (const LinkCountEntry& entry : entries_) {
    if (!IsWebKey(entry.key)) {
      index->local.Add(entry.key, entry.count);
      continue;
    }
    std::string local = LocalFormOfKey(entry.key, context.root, context.domain);
    index->local.Add(local == entry.key ? entry.key : index->mappedKeys.emplace_back(std::move(local)),
                     entry.count);
    index->web.Add(entry.key, entry.count);
  }
  index->local.Finish();
  index->web.Finish();
  index_ = std::move(index);
  return *index_;
}

void SortLinkCounts(LinkCountTable& table) {
  std::stable_sort(table.entries_.begin(), table.entries_.end(),
                   [](const LinkCountEntry& a, const LinkCountEntry& b) { return a.count > b.count; });
  table.slots_.Rebuild(table.entries_.size(), [&](size_t position) { return table.HashOfEntry(position); });
  table.index_.reset();
}

int32_t LinkCountOf(const std::string& path, const LinkCountTable& table, const RunContext& context,
                    bool sumBelow) {
  // A path of the walk: a backslash in it belongs to a name.
  std::string item = StripTrailingSlash(path);
  if (IsDefaultDocument(item)) item = StripTrailingSlash(PathParent(item));
  const LinkCountTable::Index& index = table.IndexFor(context);
  const KeyIndex& keys = IsWebKey(item) ? index.web : index.local;
  return sumBelow ? keys.SumBelow(item) : keys.Exact(item);
}
