#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "tests/support/RecordingSink.h"
#include "tests/support/TempDir.h"
#include "common/Paths.h"
#include "log/TraceLogTesting.h"
#include "platform/Program.h"
#include "sitemap/OutputFile.h"
#include "sitemap/SiteMapBuilder.h"

namespace {

// Plain templates that show the structure: [folder {files and sub-folders} ] per folder.
class SiteMapBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.sOutPutFileName = "map.html";
    settings.sTemplateStart = "S";
    settings.sTemplateFolder = "[%fName%";
    settings.sTemplateFolderLevelDown = "{";
    settings.sTemplateFolderLevelUp = "}]";
    settings.sTemplateFile = "(%fName%)";
    settings.sTemplateEnd = "E";
    settings.bAddSignature = false;
  }
  std::string Build(const std::string& start = "site") {
    settings.sStartDirectoryPath = dir / start;
    SiteMapBuilder builder(settings, linkCounts, context, titles, warnings);
    StringSink out;
    builder.Build(dir / start, out);
    return out.text;
  }
  TempDir dir;
  RunSettings settings;
  LinkCountTable linkCounts;
  RunContext context;
  PageTitles titles;
  std::vector<std::string> warnings;
};

class SiteMapBuilderLog : public TraceLogTest {
 protected:
  // The emission lines of the log, without the lines' prefix.
  std::vector<std::string> EmissionLines() {
    const std::string prefix = "AddUrlToSiteMapHtmlCode()-";
    std::vector<std::string> found;
    for (const LogLine& line : ReadLog(logs_ + "/" + PathName(ProgramPath()) + ".MainThread.log"))
      if (line.message.starts_with(prefix)) found.push_back(line.message.substr(prefix.size()));
    return found;
  }
};

}  // namespace

TEST_F(SiteMapBuilderTest, FilesBeforeSubFoldersEachFolderClosedByLevelUp) {
  dir.Build({{"site/b.htm", ""}, {"site/a/x.htm", ""}, {"site/a/empty/", ""}, {"site/A.css", ""}});
  settings.sTemplateFolderLevelDown = "{%fName%:";  // expanded for its folder
  settings.sTemplateFolderLevelUp = "}%fName%]";    // written as it stands
  EXPECT_EQ(Build(),
            "S[site{site:(A.css)(b.htm)[a{a:(x.htm)[empty{empty:}%fName%]}%fName%]}%fName%]E");
}

TEST_F(SiteMapBuilderTest, ExclusionDropsFilesAndWholeFolders) {
  dir.Build({{"site/keep.htm", ""}, {"site/logo.GIF", ""}, {"site/private/a.htm", ""},
             {"site/pub/b.htm", ""}});
  struct Case {
    std::vector<std::string> exclude;
    std::string expected;
  } cases[] = {
      {{"gif", "/PRIVATE"}, "S[site{(keep.htm)[pub{(b.htm)}]}]E"},
      {{"\\pub"}, "S[site{(keep.htm)(logo.GIF)[private{(a.htm)}][pub{(b.htm)}]}]E"},
      // An empty entry stands for nothing rather than for every path.
      {{"", "gif"}, "S[site{(keep.htm)[private{(a.htm)}][pub{(b.htm)}]}]E"},
      {{"site"}, "SE"},
  };
  for (const Case& c : cases) {
    settings.aExclude = c.exclude;
    EXPECT_EQ(Build(), c.expected) << c.exclude.back();
  }
}

TEST_F(SiteMapBuilderTest, IndexPageGivesTheFolderItsTitleAndLink) {
  dir.Build({{"site/index.htm", "<title>Old</title>"},
             {"site/index.html", "<title>Welcome</title>"},
             {"site/page.HTML", "<TITLE>A page</TITLE>"},
             {"site/untitled.htm", "no title"},
             {"site/report.PDF", "<title>no</title>"},
             {"site/my.folder/index.htm", ""},
             {"site/plain.dir/x.txt", ""}});
  settings.sTemplateFolder = "[%AutoHrefText%>%fRelativePath%";
  settings.sTemplateFile = "(%AutoHrefText%>%fRelativePath%)";
  settings.bIndexAsDirText = true;
  EXPECT_EQ(Build(),
            "S[Welcome>index.html{(A page>page.HTML)(report.PDF>report.PDF)"
            "(untitled.htm>untitled.htm)"
            "[my>my.folder/index.htm{}][plain.dir>plain.dir{(x.txt>plain.dir/x.txt)}]}]E");

  settings.bIndexAsDirText = false;
  EXPECT_EQ(Build(),
            "S[site>{(Old>index.htm)(Welcome>index.html)(A page>page.HTML)"
            "(report.PDF>report.PDF)(untitled.htm>untitled.htm)"
            "[my.folder>my.folder{(index.htm>my.folder/index.htm)}]"
            "[plain.dir>plain.dir{(x.txt>plain.dir/x.txt)}]}]E");
}

TEST_F(SiteMapBuilderTest, LevelDownIsExpandedForTheIndexPageStandingForItsFolder) {
  dir.Build({{"site/index.html", "<title>Welcome</title>"}, {"site/sub/a.htm", ""}});
  settings.bIndexAsDirText = true;
  settings.sTemplateFolder = "[%AutoHrefText%";
  settings.sTemplateFolderLevelDown = "{%fName%:";
  EXPECT_EQ(Build(), "S[Welcome{index.html:(index.html)[sub{sub:(a.htm)}]}]E");
}

TEST_F(SiteMapBuilderLog, EachEmittedItemAndEachIndexPageStandingForAFolder) {
  dir_.Build({{"site/index.html", "<title>Welcome</title>"}, {"site/sub/a.htm", ""},
              {"site/skip.gif", ""}});
  const std::string site = dir_ / "site";
  RunSettings settings;
  settings.sStartDirectoryPath = site;
  settings.sOutPutFileName = "map.html";
  settings.sTemplateFolder = settings.sTemplateFile = "%AutoHrefText%";
  settings.bIndexAsDirText = true;
  settings.aExclude = {"gif"};
  LinkCountTable linkCounts;
  RunContext context;
  PageTitles titles;
  std::vector<std::string> warnings;
  StringSink out;
  SiteMapBuilder(settings, linkCounts, context, titles, warnings).Build(site, out);
  const std::vector<std::string> expected = {
      site + "/index.html-a directory, sHrefAbsolute=" + site + "/index.html",
      site + "/index.html-finaly, rel abs added=index.html",
      site + "/sub-finaly, rel abs added=sub",
      site + "/sub/a.htm-finaly, rel abs added=sub/a.htm",
  };
  EXPECT_EQ(EmissionLines(), expected);
}

TEST_F(SiteMapBuilderLog, AFullLogCountsTheEmissionLinesItLeavesOut) {
  std::map<std::string, std::string> files;
  for (int i = 0; i < 20; ++i) files["site/page" + std::to_string(i) + ".htm"] = "";
  dir_.Build(files);
  const std::string site = dir_ / "site";
  RunSettings settings;
  settings.sStartDirectoryPath = site;
  settings.sOutPutFileName = "map.html";
  settings.sTemplateFile = "%fName%";
  LinkCountTable linkCounts;
  RunContext context;
  PageTitles titles;
  std::vector<std::string> warnings;
  StringSink out;
  // The limit is met part way through the walk: the lines behind it are counted, not made.
  log_.SetFileLimitForTesting(1000);
  SiteMapBuilder(settings, linkCounts, context, titles, warnings).Build(site, out);
  const size_t kept = EmissionLines().size();
  log_.SetFolderForTesting(logs_);  // closes the file with its count of lines left out
  const std::vector<LogLine> lines = ReadLog(logs_ + "/" + PathName(ProgramPath()) + ".MainThread.log");
  ASSERT_GT(kept, 0u);
  ASSERT_LT(kept, 21u);  // the start folder and its twenty files
  EXPECT_EQ(lines.back().message, "Log limit of 1000 bytes reached, lines left out: " + std::to_string(21 - kept));
}

TEST_F(SiteMapBuilderTest, IndexFilesStayWithoutAutomaticLinkText) {
  dir.Build({{"site/index.html", "<title>Welcome</title>"}, {"site/sub/index.htm", ""}});
  settings.bIndexAsDirText = true;
  settings.sTemplateFolder = "[%fRelativePath%";
  EXPECT_EQ(Build(), "S[{(index.html)[sub{(index.htm)}]}]E");
}

TEST_F(SiteMapBuilderTest, SignatureStandsBetweenTreeAndEnd) {
  dir.Build({{"site/", ""}});
  settings.bAddSignature = true;
  EXPECT_EQ(Build(), "S[site{}]" + SignatureText() + "E");
  // In a page, inside the body after the tree's lists are closed.
  settings.sTemplateEnd = "</ul><p>end</p></BODY></html>";
  EXPECT_EQ(Build(), "S[site{}]</ul><p>end</p>" + SignatureText() + "</BODY></html>");
  EXPECT_EQ(SignatureText().find("href"), std::string::npos);  // it links to no site
}

TEST_F(SiteMapBuilderTest, FolderLinkBackIntoItsTreeIsNotEntered) {
  dir.Build({{"site/a/page.htm", ""}});
  std::filesystem::create_directory_symlink("..", dir / "site/a/loop");
  EXPECT_EQ(Build(), "S[site{[a{(page.htm)[loop{}]}]}]E");
}

TEST_F(SiteMapBuilderTest, LinkCountsOrderEntriesAndLeaveOutUnlinkedItems) {
  dir.Build({{"site/a.htm", ""}, {"site/b.htm", ""}, {"site/c.htm", ""}, {"site/d/x.htm", ""},
             {"site/e/y.htm", ""}});
  const std::string site = dir / "site";
  context = RunContext{site, ""};
  for (const char* key : {"/b.htm", "/b.htm", "/a.htm", "/d/x.htm"})
    linkCounts.Add(site + key);
  SortLinkCounts(linkCounts);
  settings.bUsePageRank = true;
  EXPECT_EQ(Build(), "S[site{(b.htm)(a.htm)(c.htm)[d{(x.htm)}][e{(y.htm)}]}]E");
  settings.bExcludeNotLinked = true;
  EXPECT_EQ(Build(), "S[site{(b.htm)(a.htm)[d{(x.htm)}]}]E");
}

TEST_F(SiteMapBuilderTest, LinkCountMacroShowsTheLinksToTheItemItself) {
  dir.Build({{"site/a.htm", ""}, {"site/b.htm", ""}, {"site/d/index.htm", ""}, {"site/d/x.htm", ""}});
  settings.sTemplateFolder = "[%fName%=%fLinkCount%";
  settings.sTemplateFile = "(%fName%=%fLinkCount%)";
  EXPECT_EQ(Build(), "S[site=0{(a.htm=0)(b.htm=0)[d=0{(index.htm=0)(x.htm=0)}]}]E");
  const std::string site = dir / "site";
  context = RunContext{site, ""};
  for (const char* key : {"/a.htm", "/a.htm", "/a.htm#top", "/d", "/d/x.htm"}) linkCounts.Add(site + key);
  SortLinkCounts(linkCounts);
  settings.bUsePageRank = true;  // orders by the sum below each item; the macro shows its own
  EXPECT_EQ(Build(), "S[site=0{(a.htm=2)(b.htm=0)[d=1{(index.htm=1)(x.htm=1)}]}]E");
}

TEST(WriteOutputFile, WritesTheTextOrSaysWhyNot) {
  TempDir dir;
  RecordingSink sink;
  auto text = [](std::string piece) {
    return [piece](MapSink& out) {
      out.Put(MapPart::File, piece, 0);
      return true;
    };
  };
  dir.Write("map.html", "an older and longer site map");
  EXPECT_EQ(WriteOutputFile(dir / "map.html", {}, text("new"), sink), 1);
  EXPECT_EQ(ReadFileForTest(dir / "map.html"), "new");
  EXPECT_EQ(WriteOutputFile(dir / "empty.html", {}, text(""), sink), 1);
  EXPECT_EQ(ReadFileForTest(dir / "empty.html"), "");
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(WriteOutputFile(dir / "missing/map.html", {}, text("x"), sink), 0);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{"Couldn't create output file:" + dir / "missing/map.html" +
                                     " (No such file or directory)"});
}

TEST(WriteOutputFile, AnUnfinishedTextLeavesTheOldOutputAndNoTemporaryFile) {
  TempDir dir;
  RecordingSink sink;
  dir.Write("map.html", "the last good map");
  const int written = WriteOutputFile(
      dir / "map.html", {},
      [](MapSink& out) {
        out.Put(MapPart::Start, "half of a new m", 0);
        return false;
      },
      sink);
  EXPECT_EQ(written, 0);
  EXPECT_EQ(ReadFileForTest(dir / "map.html"), "the last good map");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"map.html"});
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(SiteMapBuilderTest, LimitedBuildShowsTheFirstItemsAndCountsTheRest) {
  dir.Build({{"site/a.htm", ""}, {"site/b.htm", ""}, {"site/d/x.htm", ""}, {"site/d/y.htm", ""},
             {"site/e/z.htm", ""}, {"site/skip.gif", ""}});
  settings.sStartDirectoryPath = dir / "site";
  settings.aExclude = {"gif"};
  SiteMapBuilder builder(settings, linkCounts, context, titles, warnings);
  std::vector<MapPiece> pieces;
  // Only the folders among the items shown are closed; the excluded file counts nowhere.
  const struct {
    int64_t limit;
    std::string text;
    int64_t leftOut;
  } cases[] = {
      {0, "SE", 8},
      {4, "S[site{(a.htm)(b.htm)[d{}]}]E", 4},
      {5, "S[site{(a.htm)(b.htm)[d{(x.htm)}]}]E", 3},
      {100, "S[site{(a.htm)(b.htm)[d{(x.htm)(y.htm)}][e{(z.htm)}]}]E", 0},
  };
  for (const auto& c : cases) {
    builder.LimitTo(c.limit, &pieces);
    StringSink out;
    builder.Build(dir / "site", out);
    EXPECT_EQ(out.text, c.text) << c.limit;
    EXPECT_EQ(builder.BytesWritten(), out.text.size()) << c.limit;
    EXPECT_EQ(builder.ItemsLeftOut(), c.leftOut) << c.limit;
  }

  // Each stretch of the text is told by its template.
  builder.LimitTo(2, &pieces);
  StringSink out;
  builder.Build(dir / "site", out);
  const std::string& text = out.text;
  std::vector<std::pair<MapPart, std::string>> stretches;
  size_t begin = 0;
  for (const MapPiece& piece : pieces) {
    stretches.emplace_back(piece.part, text.substr(begin, piece.end - begin));
    begin = piece.end;
  }
  const std::vector<std::pair<MapPart, std::string>> expected = {
      {MapPart::Start, "S"}, {MapPart::Folder, "[site{"}, {MapPart::File, "(a.htm)"},
      {MapPart::LevelUp, "}]"}, {MapPart::End, "E"}};
  EXPECT_EQ(stretches, expected);
  EXPECT_EQ(begin, text.size());
}

TEST_F(SiteMapBuilderTest, CancelStopsTheWalkAndProgressCountsWhatItDid) {
  dir.Build({{"site/a.htm", ""}, {"site/b.htm", ""}, {"site/d/x.htm", ""}, {"site/e/y.htm", ""}});
  settings.sStartDirectoryPath = dir / "site";
  RunControl control;
  std::vector<int64_t> itemsSeen;
  control.onProgress = [&](const RunProgress& progress) {
    itemsSeen.push_back(progress.items);
    if (progress.items == 4) control.cancel = true;  // after the folder d
  };
  SiteMapBuilder builder(settings, linkCounts, context, titles, warnings, &control);
  StringSink out;
  builder.Build(dir / "site", out);
  EXPECT_EQ(out.text, "S[site{(a.htm)(b.htm)[d{}]}]E");
  EXPECT_EQ(control.progress.items, 4);
  EXPECT_EQ(control.progress.folders, 1);
  EXPECT_EQ(itemsSeen, (std::vector<int64_t>{1, 1, 2, 3, 4}));
}

TEST_F(SiteMapBuilderTest, BytesWrittenCountWhatReachedTheSinkWhenEmptyFoldersAreTakenBack) {
  dir.Build({{"site/a.htm", ""}, {"site/empty/deeper/", ""}, {"site/d/x.htm", ""},
             {"site/e/skip.gif", ""}});
  settings.sStartDirectoryPath = dir / "site";
  settings.aExclude = {"gif"};
  settings.bSkipEmptyFolders = true;
  SiteMapBuilder builder(settings, linkCounts, context, titles, warnings);
  StringSink out;
  builder.Build(dir / "site", out);
  EXPECT_EQ(out.text, "S[site{(a.htm)[d{(x.htm)}]}]E");
  EXPECT_EQ(builder.BytesWritten(), out.text.size());
}

// Keeps the times of the entries, for a map that dates them (or not).
class TimesSink : public MapSink {
 public:
  explicit TimesSink(bool usesTimes) : usesTimes_(usesTimes) {}
  void Put(MapPart part, std::string_view, int64_t time) override {
    if (part == MapPart::File) times.push_back(time);
  }
  bool UsesTimes() const override { return usesTimes_; }
  std::vector<int64_t> times;

 private:
  bool usesTimes_;
};

TEST_F(SiteMapBuilderTest, TimesAreReadWhereTheMapOrItsTemplatesUseThem) {
  dir.Build({{"site/a.htm", ""}, {"site/b.htm", ""}});
  settings.sStartDirectoryPath = dir / "site";
  const auto written = std::filesystem::file_time_type::clock::from_sys(
      std::chrono::sys_seconds(std::chrono::seconds(1700000000)));
  for (const char* name : {"site/a.htm", "site/b.htm"}) std::filesystem::last_write_time(dir / name, written);
  const int64_t time = ItemAt(dir / "site/a.htm").lastWriteTime;
  ASSERT_NE(time, 0);
  const struct {
    std::string fileTemplate;
    bool sinkUsesTimes;
    std::vector<int64_t> times;
  } cases[] = {
      {"(%fName%)", false, {0, 0}},
      {"(%fName%)", true, {time, time}},
      {"(%fDateTimeFormat(%Y)%)", false, {time, time}},
      {"(%FSIZEB|xml%)", false, {time, time}},
  };
  for (const auto& c : cases) {
    settings.sTemplateFile = c.fileTemplate;
    TimesSink out(c.sinkUsesTimes);
    SiteMapBuilder(settings, linkCounts, context, titles, warnings).Build(dir / "site", out);
    EXPECT_EQ(out.times, c.times) << c.fileTemplate;
  }
}
