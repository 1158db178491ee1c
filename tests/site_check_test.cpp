#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/NeededTool.h"
#include "tests/support/TempDir.h"

namespace {

// A site with one fault of each kind and links that only look faulty.
class SiteCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({
        {"site/index.html",
         "<html><body id=\"here\">\n"
         "<a href=\"a.html\">a</a>\n"
         "<a href=\"missing.html\">gone</a>\n"
         "<a href=\"a.html#sec\">a</a>\n"
         "<a href=\"a.html#nosuch\">a</a>\n"
         "<a href=\"#here\">here</a> <a href=\"#top\">top</a>\n"
         "<a href=\"#gone\">gone</a>\n"
         "<!-- <a href=\"commented.html\">old</a> -->\n"
         "<a href=\"sub%20dir/b.html?x=1#b1\">b</a>\n"
         "<a href=\"linked/c.html\">c</a>\n"
         "<a\nhref=\"linked/none.html\">none</a>\n"
         "<a href=\"\">self</a> <a href=\"index.html\">self</a>\n"
         "<a href=\"http://example.org/x\">out</a> <a href=\"mailto:me@example.org\">me</a>\n"
         "<a href=\"sub%20dir/\">folder</a>\n"},
        {"site/a.html", "<h2 id=\"sec\">Section</h2>"},
        {"site/sub dir/b.html", "<a name=\"b1\"></a>\n<a href=\"../a.html\">a</a>\n"
                                "<a href=\"../nope/#x\">nope</a>"},
        {"site/sub dir/lost.xhtml", ""},
        {"site/real/c.html", "<p>c</p>"},
        {"site/orphan.html", "<a href=\"never-read.html\">x</a>"},
        {"site/style.css", ""},
    });
    std::filesystem::create_directory_symlink("real", dir / "site/linked");
  }
  ProgramOutput Check(std::vector<std::string> flags) {
    flags.insert(flags.begin(), dir / "site");
    return RunFolioscribe(flags);
  }
  TempDir dir;
};

const char kBrokenLinks[] =
    "index.html:3: broken link \"missing.html\" (missing.html does not exist)\n"
    "index.html:11: broken link \"linked/none.html\" (linked/none.html does not exist)\n";
const char kOrphans[] = "orphan: orphan.html\n";
const char kSubFolderFindings[] =
    "sub dir/b.html:3: broken link \"../nope/#x\" (nope does not exist)\n"
    "orphan: sub dir/lost.xhtml\n";

TEST_F(SiteCheckTest, FindsBrokenLinksAndOrphansSortedByPageAndLine) {
  const ProgramOutput run = Check({"--check"});
  EXPECT_EQ(run.out, std::string(kBrokenLinks) + kOrphans + kSubFolderFindings);
  // Then the missing targets for people, most linked first, and what was read.
  EXPECT_EQ(run.err.substr(0, run.err.rfind(" in ")),
            "linked/none.html: missing, linked 1 time from 1 page (first: index.html:11)\n"
            "missing.html: missing, linked 1 time from 1 page (first: index.html:3)\n"
            "nope: missing, linked 1 time from 1 page (first: sub dir/b.html:3)\n"
            "2 orphan pages, linked from no page read (first: orphan.html)\n"
            "folioscribe: 4 pages read, 15 links followed, 2 external links seen (not checked): "
            "3 broken links, 0 missing anchors, 2 orphans");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "site/sitemap.html"));
}

TEST_F(SiteCheckTest, FindsMissingAnchorsWhenAsked) {
  const ProgramOutput run = Check({"--check", "--check-anchors"});
  EXPECT_EQ(run.out,
            "index.html:3: broken link \"missing.html\" (missing.html does not exist)\n"
            "index.html:5: missing anchor \"a.html#nosuch\"\n"
            "index.html:7: missing anchor \"#gone\"\n"
            "index.html:11: broken link \"linked/none.html\" (linked/none.html does not exist)\n" +
                std::string(kOrphans) + kSubFolderFindings);
  EXPECT_NE(run.err.find(": 3 broken links, 2 missing anchors, 2 orphans in "), std::string::npos);
  EXPECT_EQ(run.status, 1);
}

TEST_F(SiteCheckTest, OrphansFailOnlyWhenStrict) {
  dir.Build({{"site/missing.html", ""}, {"site/real/none.html", ""}, {"site/nope/", ""}});
  const ProgramOutput lenient = Check({"--check"});
  EXPECT_EQ(lenient.out, std::string(kOrphans) + "orphan: sub dir/lost.xhtml\n");
  EXPECT_EQ(lenient.status, 0);
  const ProgramOutput strict = Check({"--check", "--strict"});
  EXPECT_EQ(strict.out, lenient.out);
  EXPECT_EQ(strict.status, 1);
  std::filesystem::remove(dir / "site/orphan.html");
  std::filesystem::remove(dir / "site/sub dir/lost.xhtml");
  const ProgramOutput clean = Check({"--check", "--strict"});
  EXPECT_EQ(clean.out, "");
  EXPECT_EQ(clean.status, 0);
}

TEST_F(SiteCheckTest, HonoursTheProfilesExclusionsAndNeedsAFolder) {
  StoredProfile profile;
  profile.exclude = "orphan";
  dir.Write("p.folioscribe_options", profile.Text());
  const ProgramOutput run = Check({"--check", "-profile", dir / "p"});
  EXPECT_EQ(run.out, std::string(kBrokenLinks) + kSubFolderFindings);

  profile.startFolder = dir / "nosuch";
  dir.Write("p.folioscribe_options", profile.Text());
  const ProgramOutput missing = RunFolioscribe({"--check", "-profile", dir / "p"});
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "folioscribe: " + dir / "nosuch" + " doesn't exist, or is not a folder\n");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(Check({"--check", "--format=xml"}).status, 2);
}

TEST_F(SiteCheckTest, JsonReportParses) {
  SKIP_WITHOUT_TOOL("python3");
  const ProgramOutput run = Check({"--check", "--check-anchors", "--format=json"});
  EXPECT_EQ(run.status, 1);
  const std::string report = dir.Write("report.json", run.out);
  // Each line one object; the whole printed back as "kind page line href target" lines.
  const std::string script =
      "import json, sys\n"
      "for line in open(sys.argv[1]):\n"
      "    f = json.loads(line)\n"
      "    print(f['kind'], f['page'], f.get('line'), f.get('href'), f.get('target'), sep='|')\n";
  const std::string printed = dir / "printed.txt";
  const std::string command =
      "python3 '" + dir.Write("read.py", script) + "' '" + report + "' >'" + printed + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << run.out;
  EXPECT_EQ(ReadFileForTest(printed),
            "broken link|index.html|3|missing.html|missing.html\n"
            "missing anchor|index.html|5|a.html#nosuch|a.html#nosuch\n"
            "missing anchor|index.html|7|#gone|index.html#gone\n"
            "broken link|index.html|11|linked/none.html|linked/none.html\n"
            "orphan|orphan.html|None|None|None\n"
            "broken link|sub dir/b.html|3|../nope/#x|nope\n"
            "orphan|sub dir/lost.xhtml|None|None|None\n");
}

}  // namespace
