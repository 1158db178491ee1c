#include "links/TargetSpellings.h"

size_t TargetSpellings::Number(std::string_view text) {
  slots_.Reserve(records_.size() + 1, [this](size_t number) { return Kept(number).Hash(); });
  const FolderRelativePath kept = FolderRelativePath::Of(folder_, text);
  const uint64_t hash = kept.Hash();
  HashSlots::Slot& slot = slots_.Find(hash, [&](size_t number) { return Kept(number) == kept; });
  if (slot.Free()) {
    slot.Fill(hash, records_.size());
    records_.push_back({texts_.size(), static_cast<uint32_t>(kept.rest.size()), kept.belowFolder, {}});
    texts_.append(kept.rest);
  }
  return slot.Position();
}
