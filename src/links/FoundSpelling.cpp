#include "links/FoundSpelling.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// How many bytes `a` and `b` share at their beginning, compared eight at a time.
size_t CommonLength(std::string_view a, std::string_view b) {
  const size_t length = std::min(a.size(), b.size());
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= length; i += 8) {
      uint64_t x = 0;
      uint64_t y = 0;
      std::memcpy(&x, a.data() + i, 8);
      std::memcpy(&y, b.data() + i, 8);
      if (x != y) return i + static_cast<size_t>(std::countr_zero(x ^ y)) / 8;
    }
  }
  while (i < length && a[i] == b[i]) ++i;
  return i;
}

// The length of the longest beginning that `folder` and `target` share, up to a "/".
size_t SharedFolders(std::string_view folder, std::string_view target) {
  if (target.starts_with(folder)) return folder.size();  // most links stay in their folder
  const size_t slash = folder.substr(0, CommonLength(folder, target)).rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

size_t FoldersBelow(std::string_view folder, size_t shared) {
  return static_cast<size_t>(std::count(folder.begin() + static_cast<std::ptrdiff_t>(shared), folder.end(), '/'));
}

bool IsRelative(std::string_view found, std::string_view target, std::string_view folder) {
  const size_t shared = SharedFolders(folder, target);
  const size_t ups = FoldersBelow(folder, shared);
  if (found.size() != ups * 3 + target.size() - shared) return false;
  for (size_t up = 0; up < ups; ++up)
    if (found.substr(up * 3, 3) != "../") return false;
  return found.substr(ups * 3) == target.substr(shared);
}

bool IsBelowRoot(std::string_view target, std::string_view root) {
  return target.size() > root.size() && target.starts_with(root) && target[root.size()] == '/';
}

}  // namespace

FoundSpelling SpellingOf(std::string_view found, std::string_view target, std::string_view folder,
                         std::string_view root) {
  if (found == target) return FoundSpelling::kTarget;
  if (IsBelowRoot(target, root) && found == target.substr(root.size())) return FoundSpelling::kFromRoot;
  if (IsRelative(found, target, folder)) return FoundSpelling::kRelative;
  return FoundSpelling::kOwn;
}

void AppendSpelled(FoundSpelling spelling, std::string_view target, std::string_view folder,
                   std::string_view root, std::string& out) {
  if (spelling == FoundSpelling::kTarget) out.append(target);
  if (spelling == FoundSpelling::kFromRoot) out.append(target.substr(root.size()));
  if (spelling != FoundSpelling::kRelative) return;
  const size_t shared = SharedFolders(folder, target);
  for (size_t up = FoldersBelow(folder, shared); up > 0; --up) out.append("../");
  out.append(target.substr(shared));
}
