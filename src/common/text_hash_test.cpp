#include "common/TextHash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <set>
#include <string>
#include <vector>

namespace {

// Paths as a site spells them: long shared fronts, differing in a digit or two near the end.
std::vector<std::string> SitePaths() {
  std::vector<std::string> paths;
  for (int folder = 0; folder < 40; ++folder)
    for (int page = 0; page < 500; ++page)
      paths.push_back("library/s" + std::to_string(folder) + "/page" + std::to_string(page) + ".html");
  return paths;
}

TEST(TextHash, EqualTextsHashAlikeWhereverTheyLieAndEveryByteAndTheLengthCount) {
  const std::string text = "reference/datamodel.html#object.__init__";
  const std::string copy = "x" + text;
  EXPECT_EQ(TextHash::Of(text), TextHash::Of(std::string_view(copy).substr(1)));
  // Each byte of texts of every length the hash reads in another way.
  for (size_t length = 1; length <= 40; ++length) {
    const std::string base(length, 'a');
    std::set<uint64_t> hashes{TextHash::Of(base)};
    for (size_t at = 0; at < length; ++at) {
      std::string changed = base;
      changed[at] = 'b';
      hashes.insert(TextHash::Of(changed));
    }
    EXPECT_EQ(hashes.size(), length + 1) << length;
  }
  EXPECT_NE(TextHash::Of(std::string_view("a\0", 2)), TextHash::Of("a"));
  EXPECT_NE(TextHash::Of(""), TextHash::Of(std::string_view("\0", 1)));
}

// A table takes its index from the low bits and its check from the high ones: both must
// spread similar paths as evenly as chance would.
TEST(TextHash, SpreadsSimilarPathsOverLowAndHighBits) {
  const std::vector<std::string> paths = SitePaths();
  std::set<uint64_t> whole;
  std::vector<int> low(1 << 12), high(1 << 12);
  for (const std::string& path : paths) {
    const uint64_t hash = TextHash::Of(path);
    whole.insert(hash);
    ++low[hash & 0xfff];
    ++high[hash >> 52];
  }
  EXPECT_EQ(whole.size(), paths.size());
  // 20000 paths in 4096 buckets: about 4.9 a bucket; chance keeps every bucket well below 20
  // and leaves few empty (e^-4.9 of them, about 30).
  for (const auto* buckets : {&low, &high}) {
    EXPECT_LT(*std::max_element(buckets->begin(), buckets->end()), 20);
    EXPECT_LT(std::count(buckets->begin(), buckets->end(), 0), 80);
  }
}

// One bit changed in the text changes about half the bits of the hash.
TEST(TextHash, OneBitChangesHalfTheHash) {
  const std::string text = "howto/logging-cookbook.html";
  const uint64_t hash = TextHash::Of(text);
  int changedBits = 0, flips = 0;
  for (size_t at = 0; at < text.size(); ++at)
    for (int bit = 0; bit < 8; ++bit, ++flips) {
      std::string flipped = text;
      flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
      const int changed = std::popcount(hash ^ TextHash::Of(flipped));
      EXPECT_GE(changed, 12) << at << ":" << bit;
      changedBits += changed;
    }
  EXPECT_NEAR(static_cast<double>(changedBits) / flips, 32.0, 2.0);
}

}  // namespace
