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

constexpr uint64_t kHashBasis = 14695981039346656037u;

// FNV-1a over the folded bytes, going on from `hash`: texts equal but for the kind of
// separator hash alike, no folded copy is made, and a text kept in two pieces hashes as a
// whole.
uint64_t FoldedHash(std::string_view text, uint64_t hash = kHashBasis) {
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(Folded(c))) * 1099511628211u;
  return hash;
}

// The first of `first` to `last` for which `before` fails, `before` holding for all ahead
// of it: steps of doubling length from `first`, then a binary search in the last one, so
// an answer near `first` costs a few comparisons.
template <class Iterator, class Before>
Iterator Gallop(Iterator first, Iterator last, Before before) {
  for (ptrdiff_t step = 1;; step *= 2) {
    if (last - first <= step || !before(first[step - 1])) return std::partition_point(first, first + std::min(step, last - first), before);
    first += step;
  }
}

// The sum over the keys that begin with a path, in O(log n). It holds views of the keys,
// whose texts must outlive it.
class PrefixSums {
 public:
  void Add(std::string_view key, int32_t count) { keys_.emplace_back(key, count); }
  void Finish() {
    std::sort(keys_.begin(), keys_.end());
    keys_.shrink_to_fit();
    sums_.reserve(keys_.size() + 1);
    sums_.assign(1, 0);
    for (const auto& [key, count] : keys_) sums_.push_back(sums_.back() + count);
  }
  // Keys that begin with `path` lie side by side in byte order. The entries of a folder
  // come in that order, so the search goes on from where the last one began.
  int64_t Below(std::string_view path) const {
    const bool onward = lastFirst_ <= keys_.size() && (lastFirst_ == 0 || keys_[lastFirst_ - 1].first < path);
    const auto from = keys_.begin() + static_cast<ptrdiff_t>(onward ? lastFirst_ : 0);
    const auto first = Gallop(from, keys_.end(), [&](const auto& item) { return item.first < path; });
    const auto last = Gallop(first, keys_.end(), [&](const auto& item) { return item.first.starts_with(path); });
    lastFirst_ = static_cast<size_t>(first - keys_.begin());
    // The next search most likely compares the keys just behind: their texts, which lie all
    // over memory, are fetched together now rather than one by one then.
    for (auto next = last; next != keys_.end() && next - last < kKeysFetched; ++next) __builtin_prefetch(next->first.data());
    return sums_[static_cast<size_t>(last - keys_.begin())] - sums_[lastFirst_];
  }
  int64_t Total() const { return sums_.back(); }

 private:
  static constexpr ptrdiff_t kKeysFetched = 4;
  std::vector<std::pair<std::string_view, int32_t>> keys_;
  std::vector<int64_t> sums_;
  mutable size_t lastFirst_ = 0;  // where the last search's keys began
};

// The first of a list of keys equal to a path as SamePath compares, in O(1). It holds views
// of the keys, whose texts must outlive it.
class FirstEqualKey {
 public:
  // Keys come in table order: of two equal keys, the first one added stays.
  void Add(std::string_view key, size_t position) {
    const std::string_view part = ComparedPart(key);
    slots_.Reserve(parts_.size() + 1, [this](size_t index) { return FoldedHash(parts_[index].first); });
    const uint64_t hash = FoldedHash(part);
    HashSlots::Slot& slot = slots_.Find(hash, Matching{*this, part});
    if (!slot.Free()) return;
    slot.Fill(hash, parts_.size());
    parts_.emplace_back(part, position);
  }
  // The position of the first key equal to `path`; SIZE_MAX when none is.
  size_t Find(std::string_view path) const {
    if (parts_.empty()) return SIZE_MAX;
    const std::string_view part = ComparedPart(path);
    const HashSlots::Slot* slot = slots_.FindUsed(FoldedHash(part), Matching{*this, part});
    return slot == nullptr ? SIZE_MAX : parts_[slot->Position()].second;
  }

 private:
  struct Matching {
    const FirstEqualKey& keys;
    std::string_view part;
    bool operator()(size_t index) const { return EqualFolded(keys.parts_[index].first, part); }
  };

  std::vector<std::pair<std::string_view, size_t>> parts_;  // compared parts of the keys, each once
  HashSlots slots_;
};

// The hash of `text` with one more "/" behind it.
uint64_t WithSlash(uint64_t hash) { return FoldedHash("/", hash); }

// The index of `key`'s first byte in LinkCountTable's set of them (256 for an empty key).
size_t FirstByteOf(std::string_view key) {
  return key.empty() ? 256 : static_cast<unsigned char>(Folded(key.front()));
}

enum class KeyKind : uint8_t {
  kLocal,
  kWeb,        // a web address that no local path stands for
  kMappedWeb,  // a web address of the own site, whose local form stands for it
};

}  // namespace

// Built after the last change of the table, whose keys it views: any change drops it.
struct LinkCountTable::Index {
  RunContext context;
  std::vector<KeyKind> kinds;          // by table position
  std::deque<std::string> mappedKeys;  // local forms of the own site's web addresses
  FirstEqualKey mapped;                // the same, for the exact form
  PrefixSums wholeLocal;  // every key kept whole as a local path compares with it
  PrefixSums belowFolder;  // the keys kept without the table's folder
  PrefixSums web;          // the web addresses, for a web path
  // Texts the lookups reuse, so that a lookup allocates nothing.
  mutable std::string lookedUp;  // the path made a key
  mutable std::string spelled;   // "/", its part SamePath compares, "/": its spellings are views of it
};

void LinkCountTable::Clear(std::string_view folder) {
  folder_ = folder;
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  folderHash_ = FoldedHash(folder_);
  firstBytes_.reset();
  records_.clear();
  records_.shrink_to_fit();
  texts_.Clear();
  slots_.Clear();
  index_.reset();
}

size_t LinkCountTable::Add(std::string_view key) {
  slots_.Reserve(records_.size() + 1, [this](size_t position) { return HashOfEntry(position); });
  const uint64_t hash = KeyHash(key);
  HashSlots::Slot& slot = SlotOf(key, hash);
  if (slot.Free()) {
    slot.Fill(hash, records_.size());
    firstBytes_.set(FirstByteOf(key));
    const FolderRelativePath kept = FolderRelativePath::Of(folder_, key);
    records_.push_back({texts_.Append(kept.rest), static_cast<uint32_t>(kept.rest.size()), kept.belowFolder, 0});
  }
  AddAt(slot.Position());
  return slot.Position();
}

LinkCountEntry LinkCountTable::EntryAt(size_t position) const {
  return {KeptKey(position).Whole(folder_), records_[position].count};
}

FolderRelativePath LinkCountTable::KeptKey(size_t position) const {
  const Record& record = records_[position];
  return {texts_.At(record.key, record.length), record.belowFolder == 1};
}

bool LinkCountTable::Matches(size_t position, std::string_view key) const {
  const FolderRelativePath kept = KeptKey(position);
  const std::string_view folder = kept.belowFolder ? std::string_view(folder_) : std::string_view();
  if (key.size() != folder.size() + kept.rest.size()) return false;
  const std::string_view head = key.substr(0, folder.size());
  const std::string_view rest = key.substr(folder.size());
  // Most links repeat a key's first spelling, which the plain comparison settles fast.
  return (rest == kept.rest && head == folder) || (EqualFolded(rest, kept.rest) && EqualFolded(head, folder));
}

HashSlots::Slot& LinkCountTable::SlotOf(std::string_view key, uint64_t hash) {
  return slots_.Find(hash, [&](size_t position) { return Matches(position, key); });
}

size_t LinkCountTable::PositionOf(std::string_view key, uint64_t hash) const {
  const HashSlots::Slot* slot = slots_.FindUsed(hash, [&](size_t position) { return Matches(position, key); });
  return slot == nullptr ? SIZE_MAX : slot->Position();
}

uint64_t LinkCountTable::KeyHash(std::string_view key) const {
  // Most keys begin with the folder, whose hash is known.
  if (!folder_.empty() && key.starts_with(folder_)) return FoldedHash(key.substr(folder_.size()), folderHash_);
  return FoldedHash(key);
}

uint64_t LinkCountTable::HashOfEntry(size_t position) const {
  const FolderRelativePath kept = KeptKey(position);
  return FoldedHash(kept.rest, kept.belowFolder ? folderHash_ : kHashBasis);
}

const LinkCountTable::Index& LinkCountTable::IndexFor(const RunContext& context) const {
  if (index_ && index_->context.root == context.root && index_->context.domain == context.domain)
    return *index_;
  auto index = std::make_shared<Index>();
  index->context = context;
  index->kinds.reserve(records_.size());
  for (size_t position = 0; position < records_.size(); ++position) {
    const FolderRelativePath kept = KeptKey(position);
    const int32_t count = records_[position].count;
    if (kept.belowFolder) {
      index->kinds.push_back(KeyKind::kLocal);
      index->belowFolder.Add(kept.rest, count);
      continue;
    }
    const std::string key(kept.rest);
    if (!IsWebKey(key)) {
      index->kinds.push_back(KeyKind::kLocal);
      index->wholeLocal.Add(kept.rest, count);
      continue;
    }
    index->web.Add(kept.rest, count);
    std::string local = LocalFormOfKey(key, context.root, context.domain);
    if (local == key) {
      index->kinds.push_back(KeyKind::kWeb);
      index->wholeLocal.Add(kept.rest, count);
      continue;
    }
    index->kinds.push_back(KeyKind::kMappedWeb);
    const std::string& mapped = index->mappedKeys.emplace_back(std::move(local));
    index->wholeLocal.Add(mapped, count);
    index->mapped.Add(mapped, position);
  }
  index->wholeLocal.Finish();
  index->belowFolder.Finish();
  index->web.Finish();
  index_ = std::move(index);
  return *index_;
}

int64_t LinkCountTable::SumBelow(const std::string& path, const Index& index) const {
  if (IsWebKey(path)) return index.web.Below(path);
  int64_t sum = index.wholeLocal.Below(path);
  if (folder_.empty()) return sum;
  // Every key kept without the folder begins with it.
  if (path.starts_with(folder_)) return sum + index.belowFolder.Below(std::string_view(path).substr(folder_.size()));
  if (folder_.starts_with(path)) return sum + index.belowFolder.Total();
  return sum;
}

int32_t LinkCountTable::FirstEqualCount(const std::string& path, const Index& index) const {
  const bool web = IsWebKey(path);
  size_t first = web ? SIZE_MAX : index.mapped.Find(path);
  const std::string_view part = ComparedPart(path);
  index.spelled.assign("/").append(part).append("/");
  const std::string_view spelled = index.spelled;
  const auto consider = [&](std::string_view spelling, uint64_t hash) {
    // Where the part itself begins or ends with "/", SamePath trims that "/" instead.
    if (ComparedPart(spelling).size() != part.size()) return;
    const size_t position = PositionOf(spelling, hash);
    if (position == SIZE_MAX) return;
    // A local path meets a web address only where no local form stands for it.
    const KeyKind kind = index.kinds[position];
    if (web ? kind != KeyKind::kLocal : kind != KeyKind::kMappedWeb) first = std::min(first, position);
  };
  // The part with and without a "/" in front, each with and without one behind.
  for (const size_t front : {0, 1}) {
    const std::string_view spelling = spelled.substr(1 - front, part.size() + front);
    if (!firstBytes_.test(FirstByteOf(spelling))) continue;  // no key begins as it does
    const uint64_t hash = KeyHash(spelling);
    // Both slots are fetched at once rather than one after the other.
    slots_.Prefetch(WithSlash(hash));
    consider(spelling, hash);
    consider(spelled.substr(1 - front, spelling.size() + 1), WithSlash(hash));
  }
  return first == SIZE_MAX ? 0 : records_[first].count;
}

void LinkCountTable::PrefetchEqual(std::string_view path, int step) const {
  // Such a path is its own spelling with a "/" in front, which FirstEqualCount looks up.
  if (!path.starts_with('/') || path.ends_with('/')) return;
  const uint64_t hash = KeyHash(path);
  if (step == 0) {
    slots_.Prefetch(hash);
    return slots_.Prefetch(WithSlash(hash));
  }
  const HashSlots::Slot* slot = slots_.Probable(hash);
  if (slot == nullptr) return;
  const Record& record = records_[slot->Position()];
  if (step == 1) return __builtin_prefetch(&record);
  __builtin_prefetch(texts_.At(record.key, 0).data());
}

void SortLinkCounts(LinkCountTable& table) {
  std::stable_sort(table.records_.begin(), table.records_.end(),
                   [](const LinkCountTable::Record& a, const LinkCountTable::Record& b) { return a.count > b.count; });
  table.slots_.Rebuild(table.records_.size(), [&](size_t position) { return table.HashOfEntry(position); });
  table.index_.reset();
}

int32_t LinkCountOf(const std::string& path, const LinkCountTable& table, const RunContext& context,
                    bool sumBelow) {
  const LinkCountTable::Index& index = table.IndexFor(context);
  // A path of the walk: a backslash in it belongs to a name.
  std::string& item = index.lookedUp;
  item.assign(path);
  if (!item.empty() && IsSeparator(item.back())) item.pop_back();
  if (IsDefaultDocument(item)) item = StripTrailingSlash(PathParent(item));
  if (!sumBelow) return table.FirstEqualCount(item, index);
  return static_cast<int32_t>(std::min<int64_t>(table.SumBelow(item, index), INT32_MAX));
}
