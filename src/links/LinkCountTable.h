#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The start folder as the user entered it and the site's web address, published at the
// start of every run for link resolution and matching.
struct RunContext {
  std::string root;
  std::string domain;
};

// One counted link target.
struct LinkCountEntry {
  std::string key;
  int32_t count = 0;
};

// Hashing and equality of keys ignoring ASCII letter case, without folded copies.
struct FoldedKeyHash {
  size_t operator()(const std::string& key) const;
};
struct FoldedKeyEqual {
  bool operator()(const std::string& a, const std::string& b) const;
};

// How often each target was linked, in insertion order until sorted. Keys are unique when
// compared ignoring case; the first spelling is kept.
class LinkCountTable {
 public:
  void Clear();
  // Adds one link to `key` (a LinkKey): +1 on the entry of the same key ignoring case, or a
  // new entry (key, 1) at the end.
  void Add(const std::string& key);
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

  std::vector<LinkCountEntry> entries_;
  std::unordered_map<std::string, size_t, FoldedKeyHash, FoldedKeyEqual> positions_;  // key -> entry
  mutable std::shared_ptr<const Index> index_;
};

// Sorts by count, highest first (entries of equal count keep a defined order).
void SortLinkCounts(LinkCountTable& table);
// Links to `path` (a local path of a site-map item). With `sumBelow`, the sum over every key
// that begins with the path (case-sensitive); without, the first key equal to it.
int32_t LinkCountOf(const std::string& path, const LinkCountTable& table,
                    const RunContext& context, bool sumBelow);
