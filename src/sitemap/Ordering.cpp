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

// What the orders compare of an entry, worked out once for the whole sort.
struct OrderKey {
  size_t position;  // in the list
  int32_t linkCount;
  bool isFolder;
  PathNameParts name;  // views of the item's path
};

OrderKey KeyOf(const SiteItem& item, size_t position = 0) {
  return {position, item.linkCount, item.IsFolder(), NamePartsOf(item.path)};
}

int CompareKeys(const OrderKey& a, const OrderKey& b) {
  if (a.isFolder != b.isFolder) return a.isFolder ? -1 : 1;
  const int byTitle = CompareNoCase(a.name.title, b.name.title);
  return byTitle != 0 ? byTitle : CompareNoCase(a.name.extension, b.name.extension);
}

// Sorts the keys rather than the items: a key is small and its name parts are found once.
template <typename Compare>
void SortBy(SiteItemList& list, Compare compare) {
  std::vector<OrderKey> keys;
  keys.reserve(list.size());
  for (size_t position = 0; position < list.size(); ++position) keys.push_back(KeyOf(list[position], position));
  std::sort(keys.begin(), keys.end(), [&](const OrderKey& a, const OrderKey& b) {
    const int order = compare(a, b);
    return order != 0 ? order < 0 : a.name.name < b.name.name;
  });
  SiteItemList sorted;
  sorted.reserve(list.size());
  for (const OrderKey& key : keys) sorted.push_back(std::move(list[key.position]));
  list = std::move(sorted);
}

}  // namespace

int CompareSiteItems(const SiteItem& a, const SiteItem& b) { return CompareKeys(KeyOf(a), KeyOf(b)); }

void SortSiteItems(SiteItemList& list) { SortBy(list, CompareKeys); }

void SortSiteItems(SiteItemList& list, const LinkCountTable& table, const RunContext& context) {
  for (SiteItem& item : list) item.linkCount = LinkCountOf(item.path, table, context, true);
  // The counts are filled just above, so comparing them here is safe.
  SortBy(list, [](const OrderKey& a, const OrderKey& b) {
    if (a.linkCount != b.linkCount) return a.linkCount > b.linkCount ? -1 : 1;
    return CompareKeys(a, b);
  });
}
