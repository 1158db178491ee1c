#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

class BatchRunTest : public ::testing::Test {
 protected:
  // Writes `profile` and runs the program on it once, start folder from the profile.
  ProgramOutput Run(const StoredProfile& profile) {
    dir.Write("test.folioscribe_options", profile.Text());
    return RunFolioscribe({"-profile", dir / "test", "-justdoit"});
  }
  StoredProfile SiteProfile() const {
    StoredProfile profile;
    profile.startFolder = dir / "site";
    return profile;
  }
  TempDir dir;
};

}  // namespace

TEST_F(BatchRunTest, MapsTheSiteByteForByte) {
  dir.Build({{"site/index.htm", "<html><head><title>Home</title></head></html>"},
             {"site/b.htm", "<title>B</title>"},
             {"site/docs/a b.html", "<title>A B</title>"}});
  dir.Write("p.folioscribe_options", StoredProfile().Text());
  const ProgramOutput run = RunFolioscribe({dir / "site", "-profile", dir / "p", "-justdoit"});
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "folioscribe: wrote " + dir / "site/sitemap.html" + "\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"),
            "<ul><li>site<ul><li><a href=\"b.htm\">B</a></li><li><a href=\"index.htm\">Home</a>"
            "</li><li>docs<ul><li><a href=\"docs/a%20b.html\">A B</a></li></ul></ul></ul>");
}

TEST_F(BatchRunTest, RelativeAndAbsoluteOutputNames) {
  dir.Build({{"site/a.htm", ""}, {"site/maps/", ""}, {"out/", ""}});
  const std::string cases[][2] = {
      {"maps/site.html", dir / "site/maps/site.html"},
      {dir / "out/map.html", dir / "out/map.html"},
  };
  for (const auto& [name, path] : cases) {
    StoredProfile profile = SiteProfile();
    profile.outputName = name;
    const ProgramOutput run = Run(profile);
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.err, "folioscribe: wrote " + path + "\n");
    EXPECT_EQ(ReadFileForTest(path).substr(0, 12), "<ul><li>site") << name;
  }
}

TEST_F(BatchRunTest, MissingStartFolderLeavesTheOldOutputAlone) {
  const std::string output = dir.Write("out/map.html", "the last good map");
  StoredProfile profile;
  profile.startFolder = dir / "sitee";
  profile.outputName = output;
  const ProgramOutput run = Run(profile);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "folioscribe: " + dir / "sitee" + " doesn't exist, or is not a folder\n");
  EXPECT_EQ(ReadFileForTest(output), "the last good map");
}

TEST_F(BatchRunTest, UnwritableOutputFailsWithItsPath) {
  dir.Build({{"site/a.htm", ""}});
  StoredProfile profile = SiteProfile();
  profile.outputName = "missing/map.html";
  const ProgramOutput run = Run(profile);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "folioscribe: Couldn't create output file:" + dir / "site/missing/map.html" +
                         " (No such file or directory)\n");
}

TEST_F(BatchRunTest, ShortAndEmptyExclusionEntries) {
  dir.Build({{"site/app.js", ""}, {"site/b.htm", ""}, {"site/style.css", ""}});
  const std::string cases[][2] = {
      {"", "app.js;b.htm;style.css;"},
      {"js", "b.htm;style.css;"},            // two characters are a whole list too
      {".js::.css", "b.htm;"},               // the empty entry between stands for nothing
  };
  for (const auto& [exclude, expected] : cases) {
    StoredProfile profile = SiteProfile();
    profile.templateStart = profile.templateFolder = profile.templateLevelDown = "";
    profile.templateLevelUp = profile.templateEnd = "";
    profile.templateFile = "%fName%;";
    profile.exclude = exclude;
    EXPECT_EQ(Run(profile).status, 0);
    EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), expected) << exclude;
  }
}

TEST_F(BatchRunTest, FolderLinkCycleEnds) {
  dir.Build({{"site/a/page.htm", ""}});
  std::filesystem::create_directory_symlink("..", dir / "site/a/loop");
  EXPECT_EQ(Run(SiteProfile()).status, 0);
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"),
            "<ul><li>site<ul><li>a<ul><li><a href=\"a/page.htm\">page.htm</a></li>"
            "<li>loop<ul></ul></ul></ul></ul>");
}

TEST_F(BatchRunTest, TemplatesKeepTheirMarkupThroughTheProfile) {
  dir.Build({{"site/", ""}});
  StoredProfile profile = SiteProfile();
  profile.templateStart = "&lt;p title&#61;&quot;&#91;map&#93;&quot;&gt;&#13;&#10;&amp;lt;";
  profile.templateFolder = profile.templateLevelDown = profile.templateLevelUp = "";
  profile.templateEnd = "&#39;end&#39;";
  profile.addSignature = "TRUE";
  EXPECT_EQ(Run(profile).status, 0);
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"),
            "<p title=\"[map]\">\r\n&lt;"
            "<hr>\n<p><small>Generated with Folioscribe</small></p>\n"
            "'end'");
}
