#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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

// How often each target was linked, in insertion order until sorted. Keys are unique when
// compared ignoring case; the first spelling is kept.
class LinkCountTable {
 public:
  void Clear();
  // Adds one link to `key` (a LinkKey): +1 on the entry of the same key ignoring case, or a
  // new entry (key, 1) at the end. Returns the entry's position, valid until the sort.
  size_t Add(std::string_view key);
  // Adds one link to the entry at `position`, as Add returned it: a caller that knows the
  // entry of a target spares the case-blind lookup.
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

  // A slot of the open-addressing table from keys (ignoring case) to entries: one lookup
  // reads a slot or two and the entry, with no list nodes to chase.
  struct Slot {
    uint32_t hash = 0;      // of the key, case-folded
    uint32_t position = 0;  // of the entry, plus 1; 0 marks a free slot
  };
  // The slot holding `key`, or the free slot where it belongs.
  size_t SlotOf(std::string_view key, uint32_t hash) const;
  // Spreads the entries over `capacity` slots, a power of two.
  void Rehash(size_t capacity);

  std::vector<LinkCountEntry> entries_;
  std::vector<Slot> slots_;  // at most half full
  mutable std::shared_ptr<const Index> index_;
};

// Sorts by count, highest first (entries of equal count keep a defined order).
void SortLinkCounts(LinkCountTable& table);
// Links to `path` (a local path of a site-map item). With `sumBelow`, the sum over every key
// that begins with the path (case-sensitive); without, the first key equal to it.
int32_t LinkCountOf(const std::string& path, const LinkCountTable& table,
                    const RunContext& context, bool sumBelow);
