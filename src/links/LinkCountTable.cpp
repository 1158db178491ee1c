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
uint32_t FoldedHash(std::string_view key) {
  uint32_t hash = 2166136261u;
  for (char c : key) hash = (hash ^ static_cast<unsigned char>(ToLowerAscii(c))) * 16777619u;
  return hash;
}

constexpr size_t kFirstSlots = 1024;

}  // namespace

struct LinkCountTable::Index {
  RunContext context;
  KeyIndex local;  // every key as a local path compares with it
  KeyIndex web;    // the web addresses, for a web path
};

void LinkCountTable::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  slots_.clear();
  slots_.shrink_to_fit();
  index_.reset();
}

size_t LinkCountTable::Add(std::string_view key) {
  if ((entries_.size() + 1) * 2 > slots_.size()) Rehash(std::max(slots_.size() * 2, kFirstSlots));
  const uint32_t hash = FoldedHash(key);
  Slot& slot = slots_[SlotOf(key, hash)];
  if (slot.position == 0) {
    entries_.push_back({std::string(key), 0});
    slot = {hash, static_cast<uint32_t>(entries_.size())};
  }
  AddAt(slot.position - 1);
  return slot.position - 1;
}

void LinkCountTable::AddAt(size_t position) {
  ++entries_[position].count;
  index_.reset();
}

size_t LinkCountTable::SlotOf(std::string_view key, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.position == 0) return i;
    if (slot.hash != hash) continue;
    // Most links repeat a key's first spelling, which the plain comparison settles fast.
    const std::string& found = entries_[slot.position - 1].key;
    if (found == key || EqualsNoCase(found, key)) return i;
  }
}

void LinkCountTable::Rehash(size_t capacity) {
  slots_.assign(capacity, Slot());
  for (size_t i = 0; i < entries_.size(); ++i) {
    const uint32_t hash = FoldedHash(entries_[i].key);
    slots_[SlotOf(entries_[i].key, hash)] = {hash, static_cast<uint32_t>(i + 1)};
  }
}

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
  table.Rehash(table.slots_.size());
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
