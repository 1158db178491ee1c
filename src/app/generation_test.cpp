#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "app/GenerationRun.h"
#include "log/TraceLog.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/TempDir.h"

namespace {

class GenerationRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunSettings& settings = app.settings;
    settings.sStartDirectoryPath = dir / "site";
    settings.sOutPutFileName = "map.html";
    settings.sTemplateFile = "(%fName%)";
    settings.sTemplateFolder = "[%fName%";
    settings.sTemplateFolderLevelUp = "]";
    settings.bAddSignature = false;
  }
  TempDir dir;
  CFolioscribeApp app;
  RecordingSink sink;
};

}  // namespace

TEST_F(GenerationRunTest, OldOutputStaysUntilReplacedAndIsNeitherListedNorRead) {
  dir.Build({{"site/map.html", "old"}, {"site/a.htm", ""},
             {"site/.other.html.aB3dE9.folioscribe-tmp", ""}});
  app.settings.sStartDirectoryPath = dir / "site\\";
  const RunResult result = DoGenerationRun(app, sink);
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.outputPath, dir / "site/map.html");
  EXPECT_EQ(ReadFileForTest(result.outputPath), "[site(a.htm)]");
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(result.warnings.empty());
  EXPECT_EQ(app.settings.sStartDirectoryPath, dir / "site\\");  // normalised in a copy only

  // An old map named as an index page neither stands for its folder nor adds to the counts,
  // as if it were not there yet, also when the output path is spelled another way.
  dir.Write("site/index.htm", "<title>Home</title><a href=\"index.html\">map</a>");
  dir.Write("site/index.html", "<title>Old map</title><a href=\"a.htm\">a</a>");
  app.settings.sOutPutFileName = dir / "site/../site/index.html";
  app.settings.sTemplateFolder = "[%AutoHrefText%";
  app.settings.bIndexAsDirText = true;
  app.settings.bExcludeNotLinked = true;
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  EXPECT_EQ(ReadFileForTest(dir / "site/index.html"), "[Home(index.htm)]");
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(GenerationRunTest, StartFolderIsWalkedWithoutItsTrailingSeparator) {
  dir.Build({{"site/a.htm", ""}, {"site/sub/b.htm", ""}});
  for (const std::string& start : {dir / "site/", dir / "site\\", dir / "site"}) {
    app.settings.sStartDirectoryPath = start;
    EXPECT_TRUE(DoGenerationRun(app, sink).written) << start;
    EXPECT_EQ(ReadFileForTest(dir / "site/map.html"), "[site(a.htm)[sub(b.htm)]]") << start;
  }
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(GenerationRunTest, MissingOutputNameIsSaidAsSuch) {
  dir.Build({{"site/a.htm", ""}, {"site/maps/", ""}});
  app.settings.sOutPutFileName = "";
  EXPECT_FALSE(DoGenerationRun(app, sink).written);
  app.settings.sOutPutFileName = "maps/";
  EXPECT_FALSE(DoGenerationRun(app, sink).written);
  EXPECT_EQ(sink.messages,
            (std::vector<std::string>{"Couldn't create output file: no output file name is given; "
                                      "set one in the profile or with -o",
                                      "Couldn't create output file:" + dir / "site/maps/" +
                                          " (it names a folder, not a file)"}));
}

TEST_F(GenerationRunTest, LinkCountsOnlyWhenAskedAndKeptForTheReport) {
  dir.Build({{"site/index.htm", "<a href=\"b.htm\">b</a>"}, {"site/b.htm", ""}});
  app.settings.bExcludeNotLinked = true;  // counts even with the ordering off
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  EXPECT_EQ(app.runContext.root, dir / "site");
  ASSERT_FALSE(app.linkCounts.Empty());
  EXPECT_EQ(ReadFileForTest(dir / "site/map.html"), "[site(b.htm)]");
  app.settings.bExcludeNotLinked = false;
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  EXPECT_TRUE(app.linkCounts.Empty());
}

TEST_F(GenerationRunTest, CrawlOnlyKeptCountsOnlyWhatTheMapLists) {
  dir.Build({{"site/index.htm", "<a href='m/p.htm'></a><a href='m/p.htm'></a><a href='z/p.htm'></a>"
                                "<a href='z/.old.htm'></a><a href='z/.old.htm'></a>"
                                "<a href='z/.old.htm'></a><a href='_sources/x.htm'></a>"},
             {"site/m/p.htm", ""}, {"site/z/p.htm", ""}, {"site/z/.old.htm", ""},
             {"site/_sources/x.htm", "<a href='../c.htm'></a>"}, {"site/c.htm", ""}});
  RunSettings& settings = app.settings;
  settings.bUsePageRank = true;
  settings.bExcludeNotLinked = true;
  settings.bSkipHidden = true;
  settings.aPatterns = {"_sources/"};
  // By default the left-out pages are still read and counted, as before.
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  EXPECT_EQ(ReadFileForTest(dir / "site/map.html"), "[site(c.htm)[z(p.htm)][m(p.htm)]]");
  settings.bCrawlOnlyKept = true;
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  EXPECT_EQ(ReadFileForTest(dir / "site/map.html"), "[site[m(p.htm)][z(p.htm)]]");
  for (const LinkCountEntry& entry : app.linkCounts.Entries()) {
    EXPECT_EQ(entry.key.find("/_sources"), std::string::npos);
    EXPECT_EQ(entry.key.find("/."), std::string::npos);
  }
}

TEST_F(GenerationRunTest, LogIsCompleteWhenTheRunEnds) {
  dir.Build({{"site/index.htm", "<a href=\"a.htm\">a</a>"}, {"site/a.htm", ""}});
  TraceLog& log = TraceLog::Instance();
  log.SetFolderForTesting(dir / "LOGS");
  log.ResetForTesting();
  app.settings.bUsePageRank = true;
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  // Read at once, as someone looking at the log after a run in the dialog would.
  const std::string text =
      ReadFileForTest(dir / "LOGS/folioscribe_app_test.MainThread.log");
  log.SetFolderForTesting("");
  log.ResetForTesting();
  EXPECT_NE(text.find("Starting with:" + dir / "site/index.htm"), std::string::npos) << text;
  EXPECT_NE(text.find("-finaly, rel abs added=a.htm"), std::string::npos) << text;
}

TEST_F(GenerationRunTest, LogOfALargeRunStopsAtItsLimitAndSaysSo) {
  std::map<std::string, std::string> site;
  std::string links;
  for (int i = 0; i < 50; ++i) {
    const std::string page = "p" + std::to_string(i) + ".htm";
    site["site/" + page] = "";
    links += "<a href=\"" + page + "\">" + page + "</a>";
  }
  site["site/index.htm"] = links;
  dir.Build(site);
  TraceLog& log = TraceLog::Instance();
  log.SetFolderForTesting(dir / "LOGS");
  log.ResetForTesting();
  log.SetFileLimitForTesting(4096);
  app.settings.bUsePageRank = true;
  EXPECT_TRUE(DoGenerationRun(app, sink).written);
  log.SetFolderForTesting("");  // closes the file, as the exit does
  log.ResetForTesting();
  log.SetFileLimitForTesting(0);
  const std::string text = ReadFileForTest(dir / "LOGS/folioscribe_app_test.MainThread.log");
  // A line for each of the 50 links and of the 51 entries would take about 15 KB.
  const size_t lastLine = text.rfind("\r\n", text.size() - 3) + 2;
  EXPECT_LE(lastLine, 4096u);
  EXPECT_NE(text.find("Starting with:"), std::string::npos);
  EXPECT_TRUE(std::regex_match(text.substr(lastLine),
                               std::regex(R"(\d+:Log limit of 4096 bytes reached, lines left out: \d+ \(.*\)\r\n)")))
      << text.substr(lastLine);
}

TEST_F(GenerationRunTest, CancelledRunWritesNothingAndProgressCountsEveryKind) {
  dir.Build({{"site/index.htm", "<a href=\"a.htm\">a</a>"}, {"site/a.htm", ""},
             {"site/sub/b.htm", ""}});
  app.settings.bUsePageRank = true;
  RunControl control;
  int64_t calls = 0;
  control.onProgress = [&calls](const RunProgress&) { ++calls; };
  const RunResult whole = DoGenerationRun(app, sink, {}, &control);
  EXPECT_TRUE(whole.written && !whole.cancelled);
  EXPECT_EQ(whole.entryCount, 5u);
  EXPECT_EQ(whole.progress.parsed, 3);
  EXPECT_EQ(whole.progress.pages, 2);
  EXPECT_EQ(whole.progress.folders, 2);
  EXPECT_EQ(whole.progress.items, 5);
  EXPECT_EQ(calls, 12);

  const std::string lastGoodMap = ReadFileForTest(whole.outputPath);
  ASSERT_FALSE(lastGoodMap.empty());

  RunControl cancelled;
  cancelled.onProgress = [&cancelled](const RunProgress& progress) {
    if (progress.items == 2) cancelled.cancel = true;
  };
  const RunResult stopped = DoGenerationRun(app, sink, {}, &cancelled);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_FALSE(stopped.written);
  EXPECT_EQ(stopped.progress.items, 2);
  EXPECT_TRUE(sink.messages.empty());
  // The old output is untouched and the temporary file of the stopped run is gone.
  EXPECT_EQ(ReadFileForTest(stopped.outputPath), lastGoodMap);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "site"))
    names.push_back(entry.path().filename().string());
  std::ranges::sort(names);
  EXPECT_EQ(names, (std::vector<std::string>{"a.htm", "index.htm", "map.html", "sub"}));
}

TEST_F(GenerationRunTest, PreviewExpandsTheFirstItemsAndWritesNothing) {
  dir.Build({{"site/index.htm", "<a href=\"a.htm\">a</a>"}, {"site/a.htm", ""},
             {"site/sub/b.htm", ""}});
  app.settings.bExcludeNotLinked = true;  // the preview counts links like a run
  MapPreview preview = PreviewSiteMap(app.settings, 100);
  EXPECT_EQ(preview.text, "[site(a.htm)]");
  EXPECT_EQ(preview.itemsLeftOut, 0);
  EXPECT_EQ(preview.message, "");
  app.settings.bExcludeNotLinked = false;
  preview = PreviewSiteMap(app.settings, 2);
  EXPECT_EQ(preview.text, "[site(a.htm)]");
  EXPECT_EQ(preview.itemsLeftOut, 3);
  EXPECT_EQ(ReadFileForTest(dir / "site/map.html"), "<missing>");

  app.settings.sStartDirectoryPath = dir / "gone";
  preview = PreviewSiteMap(app.settings, 2);
  EXPECT_EQ(preview.message, dir / "gone" + "\r\ndoesn't exist, or is not a folder");
  EXPECT_EQ(preview.text, "");
}
