#include <gtest/gtest.h>

#include <filesystem>

#include "links/SiteCheck.h"
#include "tests/support/TempDir.h"

namespace {

using Kind = SiteFinding::Kind;

// Checks the site in `site_` from its start page, with the listed files given.
std::vector<SiteFinding> Check(const TempDir& site, const std::vector<std::string>& listed,
                               SiteCheckCounts* counts = nullptr) {
  const RunContext context{site.Path(), "http://www.x.org"};
  LinkCountTable table;
  PageTitles titles;
  SiteCheck check(site.Path(), true);
  std::vector<std::string> warnings;
  CrawlOptions options;
  options.observer = &check;
  CountSiteLinks(site.Path(), context, table, titles, warnings, options);
  std::vector<SiteFinding> findings = check.Finish(listed);
  if (counts != nullptr) *counts = check.Counts();
  return findings;
}

TEST(SiteCheck, OwnSiteAddressesAndPagesTheCrawlDoesNotRead) {
  TempDir site;
  site.Build({{"index.htm",
               "<a href=\"http://www.x.org/a.htm\">a</a>\n<a href=\"https://x.org/gone.htm\">g</a>\n"
               "<a href=\"doc.xhtml#in\">in</a><a href=\"doc.xhtml#out\">out</a><a href=\"doc.xhtml#a%20b\">\n"
               "<a href=\"http://other.org/\">o</a><a href=\"javascript:go()\">j</a>\n"
               "<a href=\"sub/#s\">s</a><a href=\"sub/#t\">t</a>"},
              {"a.htm", ""},
              {"doc.xhtml", "<p id=\"in\"><p id=\"a b\">"},
              {"sub/index.html", "<a name=\"s\">"}});
  SiteCheckCounts counts;
  const std::vector<SiteFinding> findings = Check(site, {site / "a.htm", site / "doc.xhtml"}, &counts);
  const std::vector<SiteFinding> expected = {
      {Kind::kBrokenLink, "index.htm", 2, "https://x.org/gone.htm", "gone.htm", 0, "", ""},
      // A missing anchor's target: the page that lacks it, and the name.
      {Kind::kMissingAnchor, "index.htm", 3, "doc.xhtml#out", "doc.xhtml#out", 0, "", ""},
      {Kind::kMissingAnchor, "index.htm", 5, "sub/#t", "sub/index.html#t", 0, "", ""},
  };
  EXPECT_EQ(findings, expected);
  EXPECT_EQ(counts.pagesRead, 2);  // index.htm and sub/index.html; the own-site address is not read
  EXPECT_EQ(counts.linksFollowed, 7);
  EXPECT_EQ(counts.externalLinks, 2);
}

TEST(SiteCheck, OrphansAreListedPagesNotReachedUnderAnyPath) {
  TempDir site;
  site.Build({{"index.htm", "<a href=\"alias/p.htm\">p</a><a href=\"img.png\">i</a>"},
              {"real/p.htm", ""},
              {"real/q.shtml", ""},
              {"img.png", ""},
              {"data.txt", ""}});
  std::filesystem::create_directory_symlink("real", site / "alias");
  const std::vector<std::string> listed = {site / "index.htm", site / "img.png", site / "data.txt",
                                           site / "alias/p.htm", site / "alias/q.shtml",
                                           site / "real/p.htm", site / "real/q.shtml"};
  const std::vector<SiteFinding> expected = {{Kind::kOrphan, "alias/q.shtml", 0, "", "", 0, "", ""},
                                             {Kind::kOrphan, "real/q.shtml", 0, "", "", 0, "", ""}};
  EXPECT_EQ(Check(site, listed), expected);
}

}  // namespace
