#include <gtest/gtest.h>

#include "links/FoundSpelling.h"

TEST(FoundSpelling, GivesBackEveryTextItDoesNotKeep) {
  const std::string root = "/www/site";
  const std::string folder = "/www/site/a/b/";
  const struct {
    const char* found;
    const char* target;
    FoundSpelling spelling;
  } cases[] = {
      {"p.htm", "/www/site/a/b/p.htm", FoundSpelling::kRelative},
      {"../p.htm", "/www/site/a/p.htm", FoundSpelling::kRelative},
      {"../../", "/www/site/", FoundSpelling::kRelative},
      {"../c/d/p.htm", "/www/site/a/c/d/p.htm", FoundSpelling::kRelative},
      {"c/", "/www/site/a/b/c/", FoundSpelling::kRelative},
      {"/x/p.htm", "/www/site/x/p.htm", FoundSpelling::kFromRoot},
      {"/a/b/p.htm", "/www/site/a/b/p.htm", FoundSpelling::kFromRoot},
      {"https://example.org/p.htm", "https://example.org/p.htm", FoundSpelling::kTarget},
      // What resolving took away or changed must be kept.
      {"p.htm#top", "/www/site/a/b/p.htm", FoundSpelling::kOwn},
      {"p.htm?q=1", "/www/site/a/b/p.htm", FoundSpelling::kOwn},
      {"c/../p.htm", "/www/site/a/b/p.htm", FoundSpelling::kOwn},
      {"./p.htm", "/www/site/a/b/p.htm", FoundSpelling::kOwn},
      {"", "/www/site/a/b/index.htm", FoundSpelling::kOwn},
      {"../../../p.htm", "/www/site/p.htm", FoundSpelling::kOwn},
      {"..//p.htm", "/www/site/a/p.htm", FoundSpelling::kOwn},
      {"http://www.x.org/p.htm", "/www/site/p.htm", FoundSpelling::kOwn},
      {"/p.htm", "/www/sitex/p.htm", FoundSpelling::kOwn},
      {"%70.htm", "/www/site/a/b/p.htm", FoundSpelling::kOwn},
  };
  for (const auto& c : cases) {
    const FoundSpelling spelling = SpellingOf(c.found, c.target, folder, root);
    EXPECT_EQ(spelling, c.spelling) << c.found;
    if (spelling == FoundSpelling::kOwn) continue;
    std::string text = "before ";
    AppendSpelled(spelling, c.target, folder, root, text);
    EXPECT_EQ(text, std::string("before ") + c.found);
  }
}

// Long folders are compared eight bytes at a time: the texts must not depend on where in
// such a block the folders part.
TEST(FoundSpelling, FindsTheSharedFoldersOfLongPathsAtEveryByte) {
  const std::string root = "/var/www/example.org/public";
  const std::string folder = root + "/documentation/reference/";
  for (size_t cut = root.size() + 1; cut < folder.size(); ++cut) {
    // A sibling folder that parts from `folder` at byte `cut`.
    std::string sibling = folder.substr(0, cut) + "~other/";
    const std::string target = sibling + "p.htm";
    const size_t shared = folder.rfind('/', cut - 1) + 1;
    std::string found;
    for (size_t i = shared; i < folder.size(); ++i) found += folder[i] == '/' ? "../" : "";
    found += target.substr(shared);
    EXPECT_EQ(SpellingOf(found, target, folder, root), FoundSpelling::kRelative) << found;
    std::string text;
    AppendSpelled(FoundSpelling::kRelative, target, folder, root, text);
    EXPECT_EQ(text, found);
  }
}
