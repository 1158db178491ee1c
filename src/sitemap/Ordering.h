#pragma once
#include "links/LinkCountTable.h"
#include "sitemap/SiteItem.h"

// Default order: folders first, then by name without extension, then by extension, both
// ignoring case. Negative when `a` goes first, positive when `b` does, 0 when equal.
int CompareSiteItems(const SiteItem& a, const SiteItem& b);

// Sorts `list` in the default order. Entries that compare equal are ordered by their
// names' bytes, so the result never depends on the listing.
void SortSiteItems(SiteItemList& list);
// Fills each entry's `linkCount` (links to it and to everything below it) from `table`,
// then sorts by it, higher first, and by the default order among equal counts.
void SortSiteItems(SiteItemList& list, const LinkCountTable& table, const RunContext& context);
