#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

using Paths = std::vector<std::string>;

// The paths below the site address of every <loc> in `map`, sorted.
Paths Locations(const std::string& map, const std::string& site) {
  Paths found;
  for (size_t at = map.find("<loc>"); at != std::string::npos; at = map.find("<loc>", at + 1)) {
    const size_t end = map.find("</loc>", at);
    const std::string loc = map.substr(at + 5, end - at - 5);
    found.push_back(loc.starts_with(site) ? loc.substr(site.size()) : loc);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// A documentation tree as a documentation generator leaves it: pages among sources, static
// files, build records and the outputs of earlier runs.
void BuildDocumentationTree(const TempDir& dir) {
  dir.Build({{"html/index.html", "<title>Docs</title>"},
             {"html/genindex.html", ""},
             {"html/search.html", ""},
             {"html/searchindex.js", ""},
             {"html/objects.inv", ""},
             {"html/.buildinfo", ""},
             {"html/download/docs.pdf", ""},
             {"html/library/index.html", ""},
             {"html/library/os.html", ""},
             {"html/library/os.path.htm", ""},
             {"html/whatsnew/3.11.xhtml", ""},
             {"html/_sources/index.rst.txt", ""},
             {"html/_sources/library/os.rst.txt", ""},
             {"html/_static/basic.css", ""},
             {"html/_static/doctools.js", ""},
             {"html/_static/file.png", ""},
             {"html/_images/tree.png", ""},
             {"html/.git/config", ""},
             {"html/.hidden.html", ""},
             {"html/sitemap.html", "another profile's map"},
             {"html/map.jsonl", "{}"},
             {"html/docs.folioscribe_options", ""}});
}

}  // namespace

// Index pages are written as their folders' addresses, ending in "/".
TEST(LeaveOut, BundledXmlSitemapListsOnlyPages) {
  TempDir dir;
  BuildDocumentationTree(dir);
  const std::string profile = std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/profiles/xml-sitemap";
  const ProgramOutput run = RunFolioscribe({dir / "html", "-profile", profile, "-justdoit"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Locations(ReadFileForTest(dir / "html/sitemap.xml"), "https://www.example.org/"),
            (Paths{"", "download/docs.pdf", "genindex.html", "library/", "library/os.html",
                   "library/os.path.htm", "search.html", "whatsnew/3.11.xhtml"}));
}

// A profile without the new keys lists what it listed before, profile files apart.
TEST(LeaveOut, TodaysProfileListsEverythingButProfileFiles) {
  TempDir dir;
  BuildDocumentationTree(dir);
  dir.Write("html/.gitignore", "*\n");
  StoredProfile profile;
  profile.startFolder = dir / "html";
  profile.outputName = "map.txt";
  profile.templateStart = profile.templateLevelDown = profile.templateLevelUp = "";
  profile.templateEnd = "";
  profile.templateFolder = "%fRelativePath%/;";
  profile.templateFile = "%fRelativePath%;";
  profile.exclude = "_images";
  dir.Write("p.folioscribe_options", profile.Text());
  ASSERT_EQ(RunFolioscribe({"-profile", dir / "p", "-justdoit"}).status, 0);
  EXPECT_EQ(ReadFileForTest(dir / "html/map.txt"),
            "/;.buildinfo;.gitignore;.hidden.html;genindex.html;index.html;map.jsonl;objects.inv;"
            "search.html;searchindex.js;sitemap.html;.git/;.git/config;_sources/;"
            "_sources/index.rst.txt;_sources/library/;_sources/library/os.rst.txt;_static/;"
            "_static/basic.css;_static/doctools.js;_static/file.png;download/;download/docs.pdf;"
            "library/;library/index.html;library/os.html;library/os.path.htm;whatsnew/;"
            "whatsnew/3.11.xhtml;");
}
