#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Open addressing from hashes to positions in a list the caller keeps. A slot holds part of
// a hash and a position only, eight bytes, so the probes of a lookup made for every link
// mostly stay in the cache.
class HashSlots {
 public:
  class Slot {
   public:
    bool Free() const { return position_ == 0; }
    size_t Position() const { return position_ - 1; }
    void Fill(uint64_t hash, size_t position) {
      check_ = Check(hash);
      position_ = static_cast<uint32_t>(position + 1);
    }

   private:
    friend class HashSlots;
    uint32_t check_ = 0;     // the high half of the hash, which the slot's index does not use
    uint32_t position_ = 0;  // plus 1; 0 marks a free slot
  };

  // The slot of `hash` whose position `matches` (a predicate on positions), or the free slot
  // where it belongs. Call Reserve first.
  template <class Matches>
  Slot& Find(uint64_t hash, Matches matches) {
    return slots_[IndexOf(hash, matches)];
  }
  // The used slot of `hash` whose position `matches`; nullptr when there is none.
  template <class Matches>
  const Slot* FindUsed(uint64_t hash, Matches matches) const {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[IndexOf(hash, matches)];
    return slot.Free() ? nullptr : &slot;
  }
  // Fetches the slot where a lookup of `hash` begins into the cache: a caller that knows its
  // next keys has the memory on its way while it works on the one before.
  void Prefetch(uint64_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }
  // The first used slot of `hash` whose check matches, the keys not compared: for a prefetch,
  // which may guess wrong. nullptr when there is none.
  const Slot* Probable(uint64_t hash) const {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[IndexOf(hash, [](size_t) { return true; })];
    return slot.Free() ? nullptr : &slot;
  }
  // Makes room for `count` positions, at most half the slots used; `hashOf(position)` gives
  // the hash of each of the count - 1 positions already in.
  template <class HashOf>
  void Reserve(size_t count, HashOf hashOf) {
    if (count * 2 > slots_.size()) Spread(CapacityFor(count), count - 1, hashOf);
  }
  // Spreads the positions 0 to count - 1 anew: for a list whose order changed.
  template <class HashOf>
  void Rebuild(size_t count, HashOf hashOf) {
    Spread(CapacityFor(count), count, hashOf);
  }
  void Clear() { std::vector<Slot>().swap(slots_); }

 private:
  static constexpr size_t kFirstSlots = 1024;
  static uint32_t Check(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }
  size_t CapacityFor(size_t count) const {
    size_t capacity = std::max(slots_.size(), kFirstSlots);
    while (count * 2 > capacity) capacity *= 2;
    return capacity;
  }

  template <class Matches>
  size_t IndexOf(uint64_t hash, Matches matches) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.Free() || (slot.check_ == Check(hash) && matches(slot.Position()))) return i;
    }
  }
  template <class HashOf>
  void Spread(size_t capacity, size_t count, HashOf hashOf) {
    slots_.assign(capacity, Slot());
    for (size_t position = 0; position < count; ++position) {
      const uint64_t hash = hashOf(position);
      slots_[IndexOf(hash, [](size_t) { return false; })].Fill(hash, position);
    }
  }

  std::vector<Slot> slots_;  // a power of two of them
};
