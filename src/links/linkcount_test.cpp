#include <gtest/gtest.h>

#include <random>

#include "links/LinkReport.h"
#include "links/link_oracle_test.h"

namespace {

// `folder`: the folder whose keys the table keeps without it.
LinkCountTable TableOf(const Pairs& counts, std::string_view folder = {}) {
  LinkCountTable table;
  table.Clear(folder);
  for (const auto& [key, count] : counts) {
    for (int32_t i = 0; i < count; ++i) table.Add(key);
  }
  return table;
}

// Only the exact spelling reaches a file on Linux, so letter case makes another key; the
// kind of separator does not.
TEST(LinkCountTable, AddsOneEntryPerExactKey) {
  LinkCountTable table;
  EXPECT_TRUE(table.Empty());
  for (const char* key : {"/site/A.htm", "/site/b.htm", "/site/a.HTM", "/site\\A.htm", "/site/A.htm#x"}) table.Add(key);
  EXPECT_EQ(AsPairs(table.Entries()),
            Pairs({{"/site/A.htm", 2}, {"/site/b.htm", 1}, {"/site/a.HTM", 1}, {"/site/A.htm#x", 1}}));
  SortLinkCounts(table);
  table.Add("\\site\\b.htm");  // the sort moved the entries; updates still find them
  table.Add("/SITE/B.HTM");
  EXPECT_EQ(AsPairs(table.Entries()), Pairs({{"/site/A.htm", 2}, {"/site/b.htm", 2}, {"/site/a.HTM", 1},
                                             {"/site/A.htm#x", 1}, {"/SITE/B.HTM", 1}}));
  table.Clear();
  EXPECT_TRUE(table.Empty());
  EXPECT_EQ(LinkCountOf("/site/A.htm", table, {"/site", ""}, false), 0);
  table.Add("/site/a.htm");
  EXPECT_EQ(AsPairs(table.Entries()), Pairs({{"/site/a.htm", 1}}));
}

// A key is kept without the folder it lies below; one with the same rest outside it, or
// spelled with the other separator, must neither take its entry nor lose its spelling.
TEST(LinkCountTable, KeepsKeysBelowItsFolderApartFromKeysOutside) {
  LinkCountTable table;
  table.Clear("/site");
  for (const char* key : {"/site/a.htm", "a.htm", "/site\\a.htm", "/other/site/a.htm", "/site", "/sitea.htm",
                          "\\site/a.htm", "/site/a.htm", "mailto:a.htm"})
    table.Add(key);
  EXPECT_EQ(AsPairs(table.Entries()), Pairs({{"/site/a.htm", 4}, {"a.htm", 1}, {"/other/site/a.htm", 1},
                                             {"/site", 1}, {"/sitea.htm", 1}, {"mailto:a.htm", 1}}));
  SortLinkCounts(table);
  table.Add("/site\\a.htm");
  EXPECT_EQ(table.Entries()[0].key, "/site/a.htm");
  EXPECT_EQ(table.Entries()[0].count, 5);
  table.Clear();
  table.Add("/site/a.htm");
  table.Add("\\site\\a.htm");
  EXPECT_EQ(AsPairs(table.Entries()), Pairs({{"/site/a.htm", 2}}));
}

TEST(LinkCountTable, FindsEveryKeyAfterTheTableGrows) {
  constexpr int kKeys = 5000;  // several times the first table size
  LinkCountTable table;
  for (int i = 0; i < kKeys; ++i) table.Add("/site/p" + std::to_string(i) + ".htm");
  for (int i = kKeys - 1; i >= 0; i -= 2) table.Add("\\site\\p" + std::to_string(i) + ".htm");
  ASSERT_EQ(table.Entries().size(), static_cast<size_t>(kKeys));
  for (int i = 0; i < kKeys; ++i) {
    ASSERT_EQ(table.Entries()[i].key, "/site/p" + std::to_string(i) + ".htm");
    ASSERT_EQ(table.Entries()[i].count, i % 2 == 1 ? 2 : 1) << i;
  }
}

TEST(LinkCountTable, SortsByCountKeepingInsertionOrderOfTies) {
  LinkCountTable table = TableOf({{"c", 1}, {"a", 2}, {"d", 1}, {"b", 3}, {"e", 2}, {"f", 1}});
  SortLinkCounts(table);
  EXPECT_EQ(AsPairs(table.Entries()), Pairs({{"b", 3}, {"a", 2}, {"e", 2}, {"c", 1}, {"d", 1}, {"f", 1}}));
  EXPECT_EQ(LinkReportText(table, "\r\n"), "b [3]\r\na [2]\r\ne [2]\r\nc [1]\r\nd [1]\r\nf [1]\r\n");
  LinkCountTable empty;
  EXPECT_EQ(LinkReportText(empty, "\n"), "");
}

TEST(LinkReport, EachKeyStaysOnItsLineAndReadsBackOneWay) {
  LinkCountTable table = TableOf({{"http://x.org/a\n/site/b.htm [9]", 3},
                                  {"mailto:a\tb\rc\x1b[2J\x7f\x01", 2},
                                  {"/site/back\\slash \\n.htm", 1},
                                  {"/site/caf\xc3\xa9.htm", 1}});
  EXPECT_EQ(LinkReportText(table, "\n"),
            "http://x.org/a\\n/site/b.htm [9] [3]\n"
            "mailto:a\\tb\\rc\\x1b[2J\\x7f\\x01 [2]\n"
            "/site/back\\\\slash \\\\n.htm [1]\n"
            "/site/caf\xc3\xa9.htm [1]\n");
}

TEST(LinkCountOf, LooksUpExactlyOrSumsBelow) {
  const RunContext context{"/site", "http://www.x.org/"};
  const Pairs counts = {{"/site/sub", 1}, {"/site/sub/x.htm", 2}, {"/site/sub/y/z.htm", 3},
                        {"/site/subway.htm", 4}, {"/site/other", 5}, {"/site/Page.htm", 6},
                        {"/site/page.htm#top", 7}, {"http://www.x.org/w.htm", 8}, {"mailto:q", 9},
                        {"/site/SUB", 10}};
  const struct {
    const char* path;
    bool sumBelow;
    int32_t count;
  } cases[] = {
      {"/site/sub", true, 1 + 2 + 3 + 4},
      {"/site/sub/", false, 1},  // "/site/SUB" is another folder
      {"/site/SUB", false, 10},
      {"/site/sub/index.htm", false, 1},
      {"/site/sub/index.html", false, 1},
      {"/site/page.htm", false, 0},
      {"/site/page.htm", true, 7},
      {"/site/Page.htm", true, 6},
      {"/site/w.htm", false, 8},
      {"/site/w", true, 8},
      {"http://www.x.org/w.htm", false, 8},
      {"/site/missing.htm", false, 0},
      {"mailto:q", false, 9},
      {"/site", true, 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 10},
      {"/", true, 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10},  // the root made a key is ""
      {"/site/", true, 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 10},
      {"/sit", true, 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 10},
      {"/site2", true, 0},
  };
  // Kept whole, and kept without the start folder or a folder below it.
  for (const char* folder : {"", "/site", "/site/sub/"}) {
    LinkCountTable table = TableOf(counts, folder);
    for (const bool sorted : {false, true}) {
      if (sorted) SortLinkCounts(table);
      for (const auto& c : cases)
        EXPECT_EQ(LinkCountOf(c.path, table, context, c.sumBelow), c.count)
            << c.path << " " << c.sumBelow << " folder " << folder;
    }
    EXPECT_EQ(LinkCountOf("/site/w.htm", table, {"/site", ""}, false), 0);  // the index follows the context
    table.Add("/site/new.htm");
    EXPECT_EQ(LinkCountOf("/site/new.htm", table, context, false), 1);  // and the table
  }
}

// Random keys from pieces that collide in case, separators, prefixes and schemes.
std::string RandomPath(std::mt19937& random) {
  static const char* const prefixes[] = {"/s", "/S", "\\s", "http://www.x.org/", "https://www.x.org",
                                         "mailto:", "//cdn", ""};
  static const char* const pieces[] = {"a", "A", "sub", "Sub", "b.htm", "B.HTM", "index.htm", "c.html#t",
                                       "d?q", "", "subway.htm", "index.PHP"};
  std::string path = prefixes[random() % std::size(prefixes)];
  for (size_t n = random() % 4; n > 0; --n) path += std::string("/") + pieces[random() % std::size(pieces)];
  return path;
}

TEST(LinkCountOf, MatchesTheLinearLookupOnRandomTables) {
  const RunContext contexts[] = {{"/s", "http://www.x.org/"}, {"/s/", ""}, {"\\s", "https://www.x.org"}};
  for (uint32_t seed = 1; seed <= 9; ++seed) {
    std::mt19937 random(seed);
    LinkCountTable table;
    // Keys kept whole, or without a folder that some of them lie below.
    table.Clear(seed % 3 == 0 ? "" : seed % 3 == 1 ? "/s" : "/s/sub");
    std::vector<LinkCountEntry> reference;
    for (int i = 0; i < 200; ++i) {
      const std::string key = RandomPath(random);
      table.Add(key);
      oracle::Add(reference, key);
    }
    ASSERT_EQ(AsPairs(table.Entries()), AsPairs(reference));
    std::vector<std::string> queries;
    for (int i = 0; i < 50; ++i) queries.push_back(RandomPath(random));
    for (const LinkCountEntry& entry : reference) queries.push_back(entry.key + "/");
    for (const bool sorted : {false, true}) {
      if (sorted) {
        SortLinkCounts(table);
        oracle::Sort(reference);
        ASSERT_EQ(AsPairs(table.Entries()), AsPairs(reference));
      }
      for (const RunContext& context : contexts) {
        for (const std::string& query : queries) {
          for (const bool sumBelow : {false, true}) {
            ASSERT_EQ(LinkCountOf(query, table, context, sumBelow),
                      oracle::CountOf(query, reference, context, sumBelow))
                << "seed " << seed << " query " << query << " root " << context.root;
          }
        }
      }
    }
  }
}

}  // namespace
