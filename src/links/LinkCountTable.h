#pragma once
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/HashSlots.h"
#include "common/RunSettings.h"
#include "links/FolderRelativePath.h"
#include "links/TextBlocks.h"

// The start folder as the user entered it and the site's web address, published at the
// start of every run for link resolution and matching; and the output file as the walk
// would meet it, which is neither listed nor read, as if it were not there yet.
struct RunContext {
  std::string root;
  std::string domain;
  int64_t maxPageBytes = kDefaultMaxPageBytes;  // larger pages are not read
  std::string outputPath = {};  // empty when unknown
};

// One counted link target, its key spelled whole.
struct LinkCountEntry {
  std::string key;
  int32_t count = 0;
};

// How often each target was linked, in insertion order until sorted. Keys are unique when
// compared as spelled (the kind of separator aside). Keys below the folder the table was
// cleared for are kept without it, so that the table does not grow with where the site lies.
class LinkCountTable {
 public:
  // The entries in table order, read one by one with their keys spelled whole.
  class EntryList {
   public:
    class Iterator {
     public:
      Iterator(const LinkCountTable& table, size_t position) : table_(&table), position_(position) {}
      LinkCountEntry operator*() const { return table_->EntryAt(position_); }
      Iterator& operator++() {
        ++position_;
        return *this;
      }
      bool operator==(const Iterator&) const = default;

     private:
      const LinkCountTable* table_;
      size_t position_;
    };

    explicit EntryList(const LinkCountTable& table) : table_(table) {}
    size_t size() const { return table_.records_.size(); }
    bool empty() const { return table_.records_.empty(); }
    LinkCountEntry operator[](size_t position) const { return table_.EntryAt(position); }
    LinkCountEntry back() const { return table_.EntryAt(size() - 1); }
    Iterator begin() const { return {table_, 0}; }
    Iterator end() const { return {table_, size()}; }

   private:
    const LinkCountTable& table_;
  };

  // Empties the table. Keys added from now on that lie below `folder` (a path, its final
  // "/" optional) are kept without it; with no folder, every key is kept whole.
  void Clear(std::string_view folder = {});
  // Adds one link to `key` (a LinkKey): +1 on the entry of the same key, or a
  // new entry (key, 1) at the end. Returns the entry's position, valid until the sort.
  size_t Add(std::string_view key);
  // Adds one link to the entry at `position`, as Add returned it: a caller that knows the
  // entry of a target spares the lookup. Inline: a crawl adds every link it counts.
  void AddAt(size_t position) {
    ++records_[position].count;
    if (index_ != nullptr) index_.reset();
  }
  EntryList Entries() const { return EntryList(*this); }
  // Starts fetching what LinkCountOf(path, ..., false) reads for the absolute `path`, for a
  // caller that knows its next paths: in steps as PageTitles::Prefetch takes them. A default
  // document is fetched under its own path, which its lookup does not read.
  void PrefetchEqual(std::string_view path, int step) const;
  bool Empty() const { return records_.empty(); }

  // Implementation detail of the lookups: built on the first lookup after a change.
  struct Index;

 private:
  friend void SortLinkCounts(LinkCountTable& table);
  friend int32_t LinkCountOf(const std::string& path, const LinkCountTable& table,
                             const RunContext& context, bool sumBelow);
  struct Record {
    TextBlocks::Place key;  // of the key's text, kept without folder_ when below it
    uint32_t length : 31 = 0;
    uint32_t belowFolder : 1 = 0;
    int32_t count = 0;
  };

  LinkCountEntry EntryAt(size_t position) const;
  FolderRelativePath KeptKey(size_t position) const;
  // The lookup index for `context`; not thread-safe (lookups run on the run's thread).
  const Index& IndexFor(const RunContext& context) const;
  // The slot of `key` or the free slot where it belongs.
  HashSlots::Slot& SlotOf(std::string_view key, uint64_t hash);
  // The position of the entry whose key equals `key` (of KeyHash `hash`) as spelled (the
  // kind of separator aside); SIZE_MAX when there is none.
  size_t PositionOf(std::string_view key, uint64_t hash) const;
  // The hash of `key` as the slots keep it, whether or not it begins with the folder.
  uint64_t KeyHash(std::string_view key) const;
  uint64_t HashOfEntry(size_t position) const;
  bool Matches(size_t position, std::string_view key) const;
  // The two lookups of LinkCountOf, for a path made a key.
  int64_t SumBelow(const std::string& path, const Index& index) const;
  int32_t FirstEqualCount(const std::string& path, const Index& index) const;

  std::string folder_;  // with its final "/"; empty when keys are kept whole
  uint64_t folderHash_ = 0;  // of folder_, where the hash of a key kept without it goes on
  std::bitset<257> firstBytes_;  // the first bytes of the keys, separators folded; 256: ""
  TextBlocks texts_;
  std::vector<Record> records_;
  HashSlots slots_;  // the records by their keys
  mutable std::shared_ptr<const Index> index_;
};

// Sorts by count, highest first (entries of equal count keep a defined order).
void SortLinkCounts(LinkCountTable& table);
// Links to `path` (a local path of a site-map item). With `sumBelow`, the sum over every key
// that begins with the path (case-sensitive); without, the first key equal to it.
int32_t LinkCountOf(const std::string& path, const LinkCountTable& table,
                    const RunContext& context, bool sumBelow);
