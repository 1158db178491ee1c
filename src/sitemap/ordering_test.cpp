#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "sitemap/Ordering.h"

namespace {

SiteItem Item(const std::string& path, bool folder = false) {
  SiteItem item;
  item.path = path;
  item.attributes = folder ? kAttrFolder : 0;
  return item;
}

std::vector<std::string> Names(const SiteItemList& list) {
  std::vector<std::string> names;
  for (const SiteItem& item : list) names.push_back(item.path.substr(item.path.rfind('/') + 1));
  return names;
}

}  // namespace

TEST(CompareSiteItems, FoldersFirstThenTitleThenExtensionIgnoringCase) {
  struct Case {
    SiteItem a, b;
    int expected;
  } cases[] = {
      {Item("/s/sub", true), Item("/s/a.css"), -1},
      {Item("/s/a.css"), Item("/s/sub", true), 1},
      {Item("/s/A.htm"), Item("/s/b.htm"), -1},
      {Item("/s/a.css"), Item("/s/A.htm"), -1},       // titles tie, css before htm
      {Item("/s/Index.htm"), Item("/s/index.HTM"), 0},
      {Item("/s/a.txt"), Item("/s/a-b.htm"), -1},     // decided by the titles alone
      {Item("/s/my.folder", true), Item("/s/my", true), 1},
      {Item("/s/_x.htm"), Item("/s/Zeta.htm"), -1},   // "_" lies between "Z" and "z"
      {Item("/s/\xC3\xA9.htm"), Item("/s/z.htm"), 1},  // bytes above ASCII last
      {Item("/s/ab.htm"), Item("/s/ABC.htm"), -1},
      {Item("/s/a."), Item("/s/A"), 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CompareSiteItems(c.a, c.b), c.expected) << c.a.path << " vs " << c.b.path;
}

TEST(SortSiteItems, DefaultOrderWithTiesByNameBytes) {
  SiteItemList list = {Item("/s/b.htm"), Item("/s/index.HTM"), Item("/s/A.htm"),
                       Item("/s/sub", true), Item("/s/Index.htm"), Item("/s/a.css"),
                       Item("/s/img", true)};
  SortSiteItems(list);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"img", "sub", "a.css", "A.htm", "b.htm",
                                                   "Index.htm", "index.HTM"}));
}

TEST(SortSiteItems, ByLinkCountMostLinkedFirstThenDefaultOrder) {
  LinkCountTable table;
  const RunContext context{"/s", ""};
  for (int i = 0; i < 5; ++i) table.Add("/s/b.htm");
  for (int i = 0; i < 2; ++i) table.Add("/s/a.htm");
  for (int i = 0; i < 2; ++i) table.Add("/s/c.htm");
  for (int i = 0; i < 3; ++i) table.Add("/s/sub/page.htm");  // counts for the folder sub
  SortLinkCounts(table);
  SiteItemList list = {Item("/s/z.htm"), Item("/s/c.htm"), Item("/s/a.htm"), Item("/s/y.htm"),
                       Item("/s/sub", true), Item("/s/b.htm")};
  SortSiteItems(list, table, context);
  EXPECT_EQ(Names(list),
            (std::vector<std::string>{"b.htm", "sub", "a.htm", "c.htm", "y.htm", "z.htm"}));
  EXPECT_EQ(list[1].linkCount, 3);
}
