#include "links/TargetSpellings.h"

size_t TargetSpellings::Number(std::string_view text) {
  slots_.Reserve(records_.size() + 1, [this](size_t number) { return Hash(Text(number)); });
  const uint64_t hash = Hash(text);
  HashSlots::Slot& slot = slots_.Find(hash, Matching{*this, text});
  if (slot.Free()) {
    slot.Fill(hash, records_.size());
    records_.push_back({texts_.size(), static_cast<uint32_t>(text.size()), {}});
    texts_.append(text);
  }
  return slot.Position();
}
