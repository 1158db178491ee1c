#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/HashSlots.h"
#include "common/RunSettings.h"

// The start folder as the user entered it and the site's web address, published at the
// start of every run for link resolution and matching; and the output file as the walk
// would meet it, which is neither listed nor read, as if it were not there yet.
struct RunContext {
  std::string root;
  std::string domain;
  int64_t maxPageBytes = kDefaultMaxPageBytes;  // larger pages are not read
  std::string outputPath = {};  // empty when unknown
};

// One counted link target.
struct LinkCountEntry {
  std::string key;
  int32_t count = 0;
};

// How often each target was linked, in insertion order until sorted. Keys are unique when
// compared as spelled (the kind of separator aside).
class LinkCountTable {
 public:
  void Clear();
  // Adds one link to `key` (a LinkKey): +1 on the entry of the same key, or a
  // new entry (key, 1) at the end. Returns the entry's position, valid until the sort.
  size_t Add(std::string_view key);
  // Adds one link to the entry at `position`, as Add returned it: a caller that knows the
  // entry of a target spares the lookup.
  void AddAt(size_t position);
  const std::vector<LinkCountEntry>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }

  // Implementation detail of the lookups: built on the first lookup after a change.
  struct Index;

 private:
  friend void SortLinkCounts(LinkCountTable& table);
  friend int32_t LinkCountOf(const std::string& path, const LinkCountTable& table,
                             const RunContext& context, bool sumBelow);
  // The lookup index for `context`; not thread-safe (lookups run on the run's thread).
  const Index& IndexFor(const RunContext& context) const;

  // The slot of `key` or the free slot where it belongs.
  HashSlots::Slot& SlotOf(std::string_view key, uint64_t hash);
  uint64_t HashOfEntry(size_t position) const;

  std::vector<LinkCountEntry> entries_;
  HashSlots slots_;  // the entries by their keys
  mutable std::shared_ptr<const Index> index_;
};

// Sorts by count, highest first (entries of equal count keep a defined order).
void SortLinkCounts(LinkCountTable& table);
// Links to `path` (a local path of a site-map item). With `sumBelow`, the sum over every key
// that begins with the path (case-sensitive); without, the first key equal to it.
int32_t LinkCountOf(const std::string& path, const LinkCountTable& table,
                    const RunContext& context, bool sumBelow);
