#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>

// A short hash of a text for the hash tables asked once for every link: eight bytes a step,
// then a final mix, so that the low bits (a table's index) and the high ones (a slot's check)
// both depend on every byte.
class TextHash {
 public:
  static uint64_t Of(std::string_view text) {
    const char* bytes = text.data();
    const size_t size = text.size();
    uint64_t hash = size * kSeed;
    size_t pos = 0;
    for (; pos + 8 <= size; pos += 8) hash = Step(hash, Load<uint64_t>(bytes + pos));
    if (pos < size) hash = Step(hash, Rest(bytes, pos, size));
    return Mixed(hash);
  }

 private:
  static constexpr uint64_t kSeed = 0x9e3779b97f4a7c15;
  static constexpr uint64_t kMultiplier = 0xff51afd7ed558ccd;

  template <class Word>
  static uint64_t Load(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  static uint64_t Step(uint64_t hash, uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 32);
  }
  // The last one to seven bytes from `pos` on, in one word: the last eight bytes of a
  // longer text, shorter ones read in pieces that may overlap. The length is in the seed.
  static uint64_t Rest(const char* bytes, size_t pos, size_t size) {
    const size_t left = size - pos;
    if (size >= 8) return Load<uint64_t>(bytes + size - 8);
    if (left >= 4) return Load<uint32_t>(bytes) | Load<uint32_t>(bytes + left - 4) << 32;
    const auto byte = [bytes](size_t at) { return static_cast<uint64_t>(static_cast<unsigned char>(bytes[at])); };
    return byte(0) | byte(left / 2) << 8 | byte(left - 1) << 16;
  }
  // Every input bit reaches every output bit.
  static uint64_t Mixed(uint64_t hash) {
    hash = (hash ^ (hash >> 33)) * kMultiplier;
    hash = (hash ^ (hash >> 33)) * 0xc4ceb9fe1a85ec53;
    return hash ^ (hash >> 33);
  }
};
