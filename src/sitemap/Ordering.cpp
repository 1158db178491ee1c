#include "sitemap/Ordering.h"

#include <algorithm>

#include "common/Paths.h"
#include "common/Text.h"

namespace {

int CompareNoCase(const std::string& a, const std::string& b) {
  if (a == b) return 0;
  return ToLowerAscii(a).compare(ToLowerAscii(b));
}

int Sign(int value) { return (value > 0) - (value < 0); }

template <typename Compare>
void SortBy(SiteItemList& list, Compare compare) {
  std::sort(list.begin(), list.end(), [&](const SiteItem& a, const SiteItem& b) {
    const int order = compare(a, b);
    return order != 0 ? order < 0 : PathName(a.path) < PathName(b.path);
  });
}

}  // namespace

int CompareSiteItems(const SiteItem& a, const SiteItem& b) {
  if (a.IsFolder() != b.IsFolder()) return a.IsFolder() ? -1 : 1;
  const int byTitle = CompareNoCase(PathTitle(a.path), PathTitle(b.path));
  if (byTitle != 0) return Sign(byTitle);
  return Sign(CompareNoCase(PathExtension(a.path), PathExtension(b.path)));
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
