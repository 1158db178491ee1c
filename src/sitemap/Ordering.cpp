#include "sitemap/Ordering.h"

#include <algorithm>

#include "common/Paths.h"
#include "common/Text.h"

namespace {

// Byte order of the texts with ASCII letters lowered, as a copy lowered whole would compare.
int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(ToLowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(ToLowerAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

template <typename Compare>
void SortBy(SiteItemList& list, Compare compare) {
  std::sort(list.begin(), list.end(), [&](const SiteItem& a, const SiteItem& b) {
    const int order = compare(a, b);
    return order != 0 ? order < 0 : NamePartsOf(a.path).name < NamePartsOf(b.path).name;
  });
}

}  // namespace

int CompareSiteItems(const SiteItem& a, const SiteItem& b) {
  if (a.IsFolder() != b.IsFolder()) return a.IsFolder() ? -1 : 1;
  const PathNameParts x = NamePartsOf(a.path), y = NamePartsOf(b.path);
  const int byTitle = CompareNoCase(x.title, y.title);
  return byTitle != 0 ? byTitle : CompareNoCase(x.extension, y.extension);
}

void SortSiteItems(SiteItemList& list) { SortBy(list, CompareSiteItems); }

void SortSiteItems(SiteItemList& list, const LinkCountTable& table, const RunContext& context) {
  for (SiteItem& item : list) item.linkCount = LinkCountOf(item.path, table, context, true);
  // The counts are filled just above, so comparing them here is safe.
  SortBy(list, [](const SiteItem& a, const SiteItem& b) {
    if (a.linkCount != b.linkCount) return a.linkCount > b.linkCount ? -1 : 1;
    return CompareSiteItems(a, b);
  });
}
