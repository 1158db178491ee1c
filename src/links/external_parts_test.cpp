#include <gtest/gtest.h>

#include "links/LinkCache.h"
#include "links/MailAddress.h"
#include "tests/support/TempDir.h"

namespace {

TEST(MailAddress, SyntaxOfMailLinks) {
  const char* valid[] = {"mailto:me@example.org",
                         "MAILTO:Me.Too+tag@sub.example.org",
                         "mailto:a@example.org,b@example.org",
                         "mailto:me@example.org?subject=Hi%20there",
                         "mailto:me%40example.org",
                         "mailto:me@localhost",
                         "mailto:me@[192.0.2.1]",
                         "mailto:j\xC3\xBCrgen@b\xC3\xBC"
                         "cher.example"};
  for (const char* link : valid) EXPECT_TRUE(IsValidMailLink(link)) << link;
  const char* invalid[] = {"mailto:",
                           "mailto:?subject=x",
                           "mailto:me",
                           "mailto:@example.org",
                           "mailto:me@",
                           "mailto:not an address",
                           "mailto:me@exa mple.org",
                           "mailto:me@-example.org",
                           "mailto:me@example..org",
                           "mailto:a@b@example.org",
                           "mailto:me@example.org,",
                           "mailto:me@example_org.com",
                           "http://me@example.org"};
  for (const char* link : invalid) EXPECT_FALSE(IsValidMailLink(link)) << link;
}

TEST(LinkCache, KeepsGoodAddressesUntilTheyAreTooOld) {
  TempDir dir;
  const std::string path = dir / "cache/folioscribe/links.tsv";
  LinkCache first(path, 100, 1000);
  EXPECT_EQ(first.StatusOf("https://example.org/"), 0);
  first.Keep("https://example.org/", 200);
  first.Keep("https://example.org/b", 203);
  ASSERT_TRUE(first.Save());
  EXPECT_EQ(ReadFileForTest(path),
            "https://example.org/\t200\t1000\nhttps://example.org/b\t203\t1000\n");

  LinkCache young(path, 100, 1099);
  EXPECT_EQ(young.StatusOf("https://example.org/b"), 203);
  young.Keep("https://example.org/c", 200);
  ASSERT_TRUE(young.Save());
  LinkCache old(path, 100, 1100);  // the first two are 100 seconds old now
  EXPECT_EQ(old.StatusOf("https://example.org/"), 0);
  EXPECT_EQ(old.StatusOf("https://example.org/c"), 200);
  ASSERT_TRUE(old.Save());
  EXPECT_EQ(ReadFileForTest(path), "https://example.org/c\t200\t1099\n");
  EXPECT_EQ(LinkCache(path, 0, 1099).StatusOf("https://example.org/c"), 0);
}

TEST(LinkCache, PassesOverLinesItCannotRead) {
  TempDir dir;
  const std::string path = dir.Write("links.tsv",
                                     "https://a.example/\t200\t50\nbroken line\n"
                                     "https://b.example/\tOK\t50\nhttps://c.example/\t200\t5x\n"
                                     "https://d.example/\t301\t60");
  const LinkCache cache(path, 100, 100);
  EXPECT_EQ(cache.StatusOf("https://a.example/"), 200);
  EXPECT_EQ(cache.StatusOf("https://b.example/"), 0);
  EXPECT_EQ(cache.StatusOf("https://c.example/"), 0);
  EXPECT_EQ(cache.StatusOf("https://d.example/"), 301);
  EXPECT_EQ(LinkCache(dir / "none.tsv", 100, 100).StatusOf("https://a.example/"), 0);
}

}  // namespace
