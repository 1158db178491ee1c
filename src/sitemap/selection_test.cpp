#include "sitemap/Selection.h"

#include <gtest/gtest.h>

#include "sitemap/SiteMapBuilder.h"
#include "tests/support/TempDir.h"

namespace {

// Lists what the walk emits, one relative path a line, folders with a trailing "/".
class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({{"site/index.html", ""},
               {"site/style.css", ""},
               {"site/.htaccess", ""},
               {"site/map.folioscribe_options", ""},
               {"site/objects.inv", ""},
               {"site/.git/config", ""},
               {"site/_sources/index.rst.txt", ""},
               {"site/_static/basic.css", ""},
               {"site/_static/keep.css", ""},
               {"site/news/a.html", ""},
               {"site/docs/news/b.html", ""},
               {"site/docs/guide.pdf", ""},
               {"site/empty/", ""}});
    settings.sTemplateFolder = "%fRelativePath%/\n";
    settings.sTemplateFile = "%fRelativePath%\n";
    settings.sOutPutFileName = "map.html";
    settings.bAddSignature = false;
    settings.sStartDirectoryPath = dir / "site";
  }
  std::string Map() {
    SiteMapBuilder builder(settings, linkCounts, context, titles, warnings);
    StringSink map;
    builder.Build(dir / "site", map);
    entries = builder.EntryCount();
    return map.text;
  }
  TempDir dir;
  RunSettings settings;
  LinkCountTable linkCounts;
  RunContext context;
  PageTitles titles;
  std::vector<std::string> warnings;
  size_t entries = 0;
};

}  // namespace

TEST_F(SelectionTest, TodaysSettingsListAllButProfileFiles) {
  EXPECT_EQ(Map(),
            "/\n.htaccess\nindex.html\nobjects.inv\nstyle.css\n.git/\n.git/config\n_sources/\n"
            "_sources/index.rst.txt\n_static/\n_static/basic.css\n_static/keep.css\ndocs/\n"
            "docs/guide.pdf\ndocs/news/\ndocs/news/b.html\nempty/\nnews/\nnews/a.html\n");
}

TEST_F(SelectionTest, PatternsHiddenEntriesAndIncludeList) {
  settings.bSkipHidden = true;
  settings.aPatterns = {"*.css", "!keep.css", "/news/", "_sources/", "objects.inv"};
  settings.aExclude = {"guide"};
  EXPECT_EQ(Map(),
            "/\nindex.html\n_static/\n_static/keep.css\ndocs/\ndocs/news/\ndocs/news/b.html\n"
            "empty/\n");
  // A folder left out is not entered: nothing inside it can be kept again.
  settings.aPatterns = {"_static/", "!_static/keep.css", "docs", "!docs/guide.pdf"};
  settings.aExclude.clear();
  settings.aInclude = {"*.html", "*.pdf", "/_sources/"};
  EXPECT_EQ(Map(),
            "/\nindex.html\n_sources/\n_sources/index.rst.txt\nempty/\nnews/\nnews/a.html\n");
  settings.aInclude = {"*.html", "!news/*"};
  settings.aPatterns.clear();
  settings.bSkipEmptyFolders = true;
  EXPECT_EQ(Map(), "/\nindex.html\ndocs/\ndocs/news/\ndocs/news/b.html\n");
  EXPECT_EQ(entries, 5u);
}

TEST_F(SelectionTest, IgnoreFilesApplyInTheirFolderAndBelow) {
  dir.Write("site/.gitignore", "*.css\n/news\n");
  dir.Write("site/docs/.gitignore", "*.pdf\n");
  dir.Write("site/docs/.folioscribeignore", "!guide.pdf\n*.html\n");
  dir.Write("site/_static/.gitignore", "!keep.css\n");
  settings.bSkipHidden = true;
  EXPECT_NE(Map().find("style.css"), std::string::npos);
  settings.bUseIgnoreFiles = true;
  settings.aPatterns = {"!basic.css"};  // the profile's patterns win
  EXPECT_EQ(Map(),
            "/\nindex.html\nobjects.inv\n_sources/\n_sources/index.rst.txt\n_static/\n"
            "_static/basic.css\n_static/keep.css\ndocs/\ndocs/guide.pdf\ndocs/news/\nempty/\n");

  Selection selection(settings, dir / "site");
  EXPECT_TRUE(selection.KeepsWithFolders(dir / "site/docs/guide.pdf", false));
  EXPECT_FALSE(selection.KeepsWithFolders(dir / "site/docs/news/b.html", false));
  EXPECT_FALSE(selection.KeepsWithFolders(dir / "site/news/a.html", false));
  EXPECT_FALSE(selection.KeepsWithFolders(dir / "site/.git/config", false));
  EXPECT_TRUE(selection.KeepsWithFolders(dir / "site/_static/keep.css", false));
  EXPECT_TRUE(selection.KeepsWithFolders(dir / "site/docs/", true));
  EXPECT_TRUE(selection.KeepsWithFolders(dir / "elsewhere/a.css", false));
}
