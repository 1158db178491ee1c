#include "common/HashSlots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A list of texts indexed by HashSlots, as the count table and the crawl use it.
class TextList {
  struct Matching {
    const std::vector<std::string>& texts;
    const std::string& text;
    bool operator()(size_t position) const { return texts[position] == text; }
  };

 public:
  // Hashes that collide a lot, high half included, so probing and matching must do the work.
  static uint64_t Hash(const std::string& text) { return (text.size() % 3) * 0x100000001ull; }

  size_t Add(const std::string& text) {
    slots_.Reserve(texts_.size() + 1, [this](size_t position) { return Hash(texts_[position]); });
    HashSlots::Slot& slot = slots_.Find(Hash(text), Matching{texts_, text});
    if (slot.Free()) {
      slot.Fill(Hash(text), texts_.size());
      texts_.push_back(text);
    }
    return slot.Position();
  }
  const HashSlots::Slot* Find(const std::string& text) const {
    return slots_.FindUsed(Hash(text), Matching{texts_, text});
  }
  void Reverse() {
    std::reverse(texts_.begin(), texts_.end());
    slots_.Rebuild(texts_.size(), [this](size_t position) { return Hash(texts_[position]); });
  }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
  HashSlots slots_;
};

TEST(HashSlots, FindsEveryPositionThroughGrowthCollisionsAndRebuilds) {
  TextList list;
  EXPECT_EQ(list.Find("nothing"), nullptr);  // no slots yet
  constexpr int kTexts = 3000;               // grows past the first slots twice
  for (int i = 0; i < kTexts; ++i) EXPECT_EQ(list.Add("t" + std::to_string(i)), static_cast<size_t>(i));
  for (int i = kTexts - 1; i >= 0; --i) EXPECT_EQ(list.Add("t" + std::to_string(i)), static_cast<size_t>(i));
  EXPECT_EQ(list.Texts().size(), static_cast<size_t>(kTexts));
  EXPECT_EQ(list.Find("t3000"), nullptr);

  list.Reverse();  // every position changed
  for (int i = 0; i < kTexts; ++i) {
    const HashSlots::Slot* slot = list.Find("t" + std::to_string(i));
    ASSERT_NE(slot, nullptr) << i;
    EXPECT_EQ(slot->Position(), static_cast<size_t>(kTexts - 1 - i));
  }
  EXPECT_EQ(list.Add("new"), static_cast<size_t>(kTexts));
}

TEST(HashSlots, ProbableGuessesByTheHashAlone) {
  HashSlots slots;
  EXPECT_EQ(slots.Probable(1), nullptr);  // no slots yet
  // One index, three checks: a guess passes over the slots of other checks.
  const uint64_t first = 5, second = (uint64_t{1} << 32) | 5, absent = (uint64_t{2} << 32) | 5;
  const auto hashOf = [&](size_t position) { return position == 0 ? first : second; };
  slots.Reserve(2, hashOf);
  const auto none = [](size_t) { return false; };
  slots.Find(first, none).Fill(first, 0);
  slots.Find(second, none).Fill(second, 1);
  ASSERT_NE(slots.Probable(first), nullptr);
  EXPECT_EQ(slots.Probable(first)->Position(), 0u);
  ASSERT_NE(slots.Probable(second), nullptr);
  EXPECT_EQ(slots.Probable(second)->Position(), 1u);
  EXPECT_EQ(slots.Probable(absent), nullptr);
}

}  // namespace
