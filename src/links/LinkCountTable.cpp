#include "links/LinkCountTable.h"

#include <algorithm>

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

}  // namespace

size_t FoldedKeyHash::operator()(const std::string& key) const {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the lower-cased bytes
  for (char c : key) {
    const char folded = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    hash = (hash ^ static_cast<unsigned char>(folded)) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

bool FoldedKeyEqual::operator()(const std::string& a, const std::string& b) const {
  return EqualsNoCase(a, b);
}

struct LinkCountTable::Index {
  RunContext context;
  KeyIndex local;  // every key as a local path compares with it
  KeyIndex web;    // the web addresses, for a web path
};

void LinkCountTable::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  positions_.clear();
  index_.reset();
}

void LinkCountTable::Add(const std::string& key) {
  const auto [it, added] = positions_.try_emplace(key, entries_.size());
  if (added) entries_.push_back({key, 1});
  else ++entries_[it->second].count;
  index_.reset();
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
  for (size_t i = 0; i < table.entries_.size(); ++i)
    table.positions_[table.entries_[i].key] = i;
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
