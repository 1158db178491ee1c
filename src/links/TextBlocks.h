#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Many small texts, appended one after another into blocks that never move: a text grown
// by doubling would leave up to half its room unused, and copy it all on every growth.
class TextBlocks {
 public:
  struct Place {
    uint32_t block = 0;
    uint32_t offset = 0;
  };

  // Keeps `first` and `second` side by side in one block; returns where `first` begins.
  Place Append(std::string_view first, std::string_view second = {}) {
    constexpr size_t kBlockBytes = 1 << 20;
    const size_t size = first.size() + second.size();
    if (blocks_.empty() || blocks_.back().size() + size > blocks_.back().capacity())
      blocks_.emplace_back().reserve(std::max(kBlockBytes, size));
    std::string& block = blocks_.back();
    const Place place{static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(block.size())};
    block.append(first).append(second);
    return place;
  }
  // The `length` bytes at `place`; valid until Clear.
  std::string_view At(Place place, size_t length) const {
    return std::string_view(blocks_[place.block]).substr(place.offset, length);
  }
  void Clear() { std::vector<std::string>().swap(blocks_); }

 private:
  std::vector<std::string> blocks_;
};
