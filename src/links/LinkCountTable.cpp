#include "links/LinkCountTable.h"

#include <algorithm>
#include <unordered_map>

#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkResolution.h"

namespace {

// The form in which PathsEqual sees a path: one trailing and one leading separator gone,
// forward slashes, lower case.
std::string EqualityForm(const std::string& path) {
  std::string form = StripTrailingSlash(path);
  if (!form.empty() && (form[0] == '/' || form[0] == '\\')) form.erase(0, 1);
  return ToLowerAscii(ToSlashes(form));
}

// Answers both lookups over one set of keys in O(log n) and O(1).
class KeyIndex {
 public:
  void Add(const std::string& key, int32_t count) {
    sorted_.emplace_back(key, count);
    exact_.try_emplace(EqualityForm(key), count);  // the first in table order wins
  }
  void Finish() {
    std::sort(sorted_.begin(), sorted_.end());
    sums_.assign(1, 0);
    for (const auto& [key, count] : sorted_) sums_.push_back(sums_.back() + count);
  }
  int32_t Exact(const std::string& path) const {
    const auto it = exact_.find(EqualityForm(path));
    return it == exact_.end() ? 0 : it->second;
  }
  // Keys that begin with `path` lie side by side in byte order.
  int32_t SumBelow(const std::string& path) const {
    const auto first = std::partition_point(sorted_.begin(), sorted_.end(),
                                            [&](const auto& item) { return item.first < path; });
    const auto last = std::partition_point(first, sorted_.end(),
                                           [&](const auto& item) { return item.first.starts_with(path); });
    const int64_t sum = sums_[static_cast<size_t>(last - sorted_.begin())] -
                        sums_[static_cast<size_t>(first - sorted_.begin())];
    return static_cast<int32_t>(std::min<int64_t>(sum, INT32_MAX));
  }

 private:
  std::vector<std::pair<std::string, int32_t>> sorted_;
  std::vector<int64_t> sums_;
  std::unordered_map<std::string, int32_t> exact_;
};

// FNV-1a over the lower-cased bytes: keys equal ignoring case hash alike, and no folded copy
// is made.
uint64_t FoldedHash(std::string_view key) {
  uint64_t hash = 14695981039346656037u;
  for (char c : key) hash = (hash ^ static_cast<unsigned char>(ToLowerAscii(c))) * 1099511628211u;
  return hash;
}

}  // namespace

struct LinkCountTable::Index {
  RunContext context;
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
    return found == key || EqualsNoCase(found, key);
  });
}

uint64_t LinkCountTable::HashOfEntry(size_t position) const { return FoldedHash(entries_[position].key); }

const LinkCountTable::Index& LinkCountTable::IndexFor(const RunContext& context) const {
  if (index_ && index_->context.root == context.root && index_->context.domain == context.domain)
    return *index_;
  auto index = std::make_shared<Index>();
  index->context = context;
  for (const LinkCountEntry& entry : entries_) {
    index->local.Add(LocalFormOfKey(entry.key, context.root, context.domain), entry.count);
    if (IsWebKey(entry.key)) index->web.Add(entry.key, entry.count);
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
  std::string item = ToSlashes(StripTrailingSlash(path));
  if (IsDefaultDocument(item)) item = StripTrailingSlash(PathParent(item));
  const LinkCountTable::Index& index = table.IndexFor(context);
  const KeyIndex& keys = IsWebKey(item) ? index.web : index.local;
  return sumBelow ? keys.SumBelow(item) : keys.Exact(item);
}
