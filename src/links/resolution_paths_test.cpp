#include <gtest/gtest.h>

#include "links/LinkResolution.h"

namespace {

struct Case {
  const char* href;
  const char* target;
  const char* key;
  bool follow;
};

void ExpectResolved(const std::string& page, const RunContext& context, const std::vector<Case>& cases) {
  const LinkResolver resolver(page, context);
  ResolvedLink reused;  // the crawl resolves every link of a page into one
  reused.follow = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.href);
    const ResolvedLink link = resolver.Resolve(c.href);
    EXPECT_EQ(link.target, c.target);
    EXPECT_EQ(LinkKey(link.target), c.key);
    EXPECT_EQ(link.follow, c.follow);
    const ResolvedLink once = ResolveLink(page, c.href, context);
    EXPECT_EQ(once.found, link.found);
    EXPECT_EQ(once.target, link.target);
    resolver.Resolve(c.href, reused);
    EXPECT_EQ(reused.found, link.found);
    EXPECT_EQ(reused.target, link.target);
    EXPECT_EQ(reused.follow, link.follow);
  }
}

TEST(ResolvePaths, ResolvesDotSegmentsAndDoubledSlashesEverywhere) {
  ExpectResolved("/site/sub/p.htm", {"/site/", "http://www.example.org/"},
                 {
                     {"sub/../a.htm", "/site/sub/a.htm", "/site/sub/a.htm", true},
                     {"x/./y/../../a.htm", "/site/sub/a.htm", "/site/sub/a.htm", true},
                     {"./../a.htm", "/site/a.htm", "/site/a.htm", true},
                     {"a//b.htm", "/site/sub/a/b.htm", "/site/sub/a/b.htm", true},
                     {"x/%2e%2e/a.htm", "/site/sub/a.htm", "/site/sub/a.htm", true},
                     {"x\\..\\a.htm", "/site/sub/a.htm", "/site/sub/a.htm", true},
                     {"../sub/./", "/site/sub/", "/site/sub", true},
                     {".", "/site/sub/", "/site/sub", true},
                     {"x/..", "/site/sub/", "/site/sub", true},
                     {"..", "/site", "/site", true},
                     // The start folder is the root of the web server: ".." stops there.
                     {"../../etc/x.htm", "/site/etc/x.htm", "/site/etc/x.htm", true},
                     {"../../../../x.htm", "/site/x.htm", "/site/x.htm", true},
                     {"../../../..", "/site", "/site", true},
                     {".%2E/%2e./%2E%2e/x.htm", "/site/x.htm", "/site/x.htm", true},
                     // An empty segment is one, until the target is read.
                     {"a//../b.htm", "/site/sub/a/b.htm", "/site/sub/a/b.htm", true},
                 });
}

TEST(ResolvePaths, KeepsReferencesFromTheRootBelowTheRoot) {
  ExpectResolved("/site/sub/p.htm", {"/site/", "http://www.example.org/"},
                 {
                     {"/../etc/x.htm", "/site/etc/x.htm", "/site/etc/x.htm", true},
                     {"/a/../../../b.htm", "/site/b.htm", "/site/b.htm", true},
                     {"/sub/..//a.htm", "/site/a.htm", "/site/a.htm", true},
                     {"/./a.htm", "/site/a.htm", "/site/a.htm", true},
                     {"/%2E%2E/x.htm", "/site/x.htm", "/site/x.htm", true},
                     {"/..", "/site", "/site", true},
                     {"/d/../", "/site", "/site", true},
                     {"http://www.example.org/../../etc/x.htm", "/site/etc/x.htm", "/site/etc/x.htm", false},
                     {"https://example.org/d/./e/../a.htm?q#f", "/site/d/a.htm", "/site/d/a.htm", false},
                 });
  ExpectResolved("/p.htm", {"/", ""},
                 {
                     {"/../x.htm", "/x.htm", "/x.htm", true},
                     {"/", "/", "", true},
                     {"q.htm", "/q.htm", "/q.htm", true},
                 });
}

TEST(ResolvePaths, LooksForSchemesBeforeTheQueryAndFragmentOnly) {
  ExpectResolved("/site/sub/p.htm", {"/site", "http://www.example.org/"},
                 {
                     {"a.htm?next=http://x.org/", "/site/sub/a.htm", "/site/sub/a.htm", true},
                     {"a.htm#c:\\x", "/site/sub/a.htm", "/site/sub/a.htm", true},
                     {"#http://y", "/site/sub/p.htm", "/site/sub/p.htm", true},
                     {"?u=mailto:x", "/site/sub/p.htm", "/site/sub/p.htm", true},
                     {"/b.htm?u=ftp://h/", "/site/b.htm", "/site/b.htm", true},
                     // Still outside: the scheme stands before the query.
                     {"mailto:a?subject=http://x", "mailto:a?subject=http://x", "mailto:a?subject=http://x", false},
                     {"http://o.org/#http://y", "http://o.org/#http://y", "http://o.org/#http://y", false},
                     {"C:\\x\\y.htm?z", "C:/x/y.htm?z", "C:/x/y.htm?z", false},
                 });
}

TEST(ResolvePaths, DecodesOnlyWhatTheLinkSays) {
  ExpectResolved("/s%41/p%20q.htm", {"/s%41/", "http://www.example.org/"},
                 {
                     {"a%20b.htm", "/s%41/a b.htm", "/s%41/a b.htm", true},
                     {"/a%41.htm", "/s%41/aA.htm", "/s%41/aA.htm", true},
                     {"http://www.example.org/c%20d.htm", "/s%41/c d.htm", "/s%41/c d.htm", false},
                     {"", "/s%41/p%20q.htm", "/s%41/p%20q.htm", true},
                     {"#x", "/s%41/p%20q.htm", "/s%41/p%20q.htm", true},
                 });
  EXPECT_EQ(ResolveLink("/s%41/p.htm", "http://www.example.org/c%20d.htm", {"/s%41", "http://www.example.org/"}).found,
            "/s%41/c%20d.htm");
}

TEST(ResolvePaths, KnowsPagesAndDefaultDocuments) {
  const struct {
    const char* path;
    bool page;
    bool defaultDocument;
  } cases[] = {
      {"/s/a.htm", true, false},        {"/s/a.HTML", true, false},        {"/s/index.htm", true, true},
      {"/s/INDEX.Html", true, true},    {"/s/index.php", false, true},     {"/s/a.htm#top", false, false},
      {"/s/a.shtml", false, false},     {"/s/xindex.htm", true, false},    {"/s/index.htm/", false, false},
      {"/s/htm", false, false},         {"/s.htm/b", false, false},        {"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPageExtension(c.path), c.page) << c.path;
    EXPECT_EQ(IsDefaultDocument(c.path), c.defaultDocument) << c.path;
  }
}

}  // namespace
