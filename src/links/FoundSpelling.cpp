#include "links/FoundSpelling.h"

#include <algorithm>

namespace {

// The length of the longest beginning that `folder` and `target` share, up to a "/".
size_t SharedFolders(std::string_view folder, std::string_view target) {
  const size_t length = std::min(folder.size(), target.size());
  const size_t common = static_cast<size_t>(
      std::mismatch(folder.begin(), folder.begin() + static_cast<std::ptrdiff_t>(length), target.begin()).first -
      folder.begin());
  const size_t slash = folder.substr(0, common).rfind('/');
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
