#include "profile/Profile.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace {

// What makes a file a profile: a GENERAL section holding one of its keys.
const std::string kGeneralKey = "[GENERAL]\r\nsOutPutFileName=map.html\r\n";

class RecordingSink : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

using List = std::vector<std::string>;

RunSettings FullSettings() {
  RunSettings s;
  s.sStartDirectoryPath = "/srv/my site";
  s.sOutPutFileName = "sitemap.html";
  s.sTemplateStart = "<ul class=\"map\">\r\n<!-- &lt; stays &lt; -->";
  s.sTemplateFolder = "<li>[%fName%]";
  s.sTemplateFolderLevelDown = "<ul>\n";
  s.sTemplateFolderLevelUp = "</ul>";
  s.sTemplateFile = "<li><a href='%fRelativePathWeb%' title=\"a=b\">%AutoHrefText%</a></li>\r\n";
  s.sTemplateEnd = "</ul>\r\n&amp;&#13;";
  s.sDomain = "example.org";
  s.bIndexAsDirText = true;
  s.bExcludeNotLinked = false;
  s.bUsePageRank = true;
  s.bAddSignature = false;
  s.bSkipNoindex = true;
  s.aExclude = {"gif", "/private/noenter"};
  s.aPatterns = {"*.css", "!keep.css", "/drafts/"};
  s.aInclude = {"*.html"};
  s.bSkipHidden = true;
  s.bCrawlOnlyKept = true;
  s.nSitemapPartEntries = 50000;
  s.aExcludeUrls = {"^https?://ads\\.", "example\\.org:8080/"};
  s.bCheckExternal = true;
  return s;
}

TEST(Profile, NewFileHoldsEveryKeyInOrder) {
  TempDir dir;
  RecordingSink sink;
  const std::string path = dir / "new.folioscribe_options";
  ASSERT_TRUE(SaveProfileAs(path, FullSettings(), sink));
  EXPECT_EQ(ReadFileForTest(path),
            "[GENERAL]\r\n"
            "sStartDirectoryPath=/srv/my site\r\n"
            "sOutPutFileName=sitemap.html\r\n"
            "sTemplateStart=&lt;ul class&#61;&quot;map&quot;&gt;&#13;&#10;"
            "&lt;!-- &amp;lt; stays &amp;lt; --&gt;\r\n"
            "sTemplateFolder=&lt;li&gt;&#91;%fName%&#93;\r\n"
            "sTemplateFolderLevelDown=&lt;ul&gt;&#10;\r\n"
            "sTemplateFolderLevelUp=&lt;/ul&gt;\r\n"
            "sTemplateFile=&lt;li&gt;&lt;a href&#61;&#39;%fRelativePathWeb%&#39; "
            "title&#61;&quot;a&#61;b&quot;&gt;%AutoHrefText%&lt;/a&gt;&lt;/li&gt;&#13;&#10;\r\n"
            "sTemplateEnd=&lt;/ul&gt;&#13;&#10;&amp;amp;&amp;#13;\r\n"
            "[MORE_OPTIONS]\r\n"
            "Exclude=gif:/private/noenter\r\n"
            "sDomain=example.org\r\n"
            "bIndexAsDirText=1\r\n"
            "bExcludeNotLinked=0\r\n"
            "bUsePageRank=1\r\n"
            "bAddSignature=0\r\n"
            "Patterns=*.css:!keep.css:/drafts/\r\n"
            "Include=*.html\r\n"
            "bUseIgnoreFiles=0\r\n"
            "bSkipHidden=1\r\n"
            "bSkipEmptyFolders=0\r\n"
            "bCrawlOnlyKept=1\r\n"
            "bCleanFolderUrls=0\r\n"
            "bSkipNoindex=1\r\n"
            "nMaxPageBytes=67108864\r\n"
            "nSitemapPartEntries=50000\r\n"
            "ExcludeUrls=^https?\\://ads\\.:example\\.org\\:8080/\r\n"
            "bCheckExternal=1\r\n");
  EXPECT_TRUE(sink.messages.empty());
}

TEST(Profile, SaveAndLoadRoundTrip) {
  TempDir dir;
  RecordingSink sink;
  const std::string path = dir / "trip.folioscribe_options";
  const RunSettings saved = FullSettings();
  ASSERT_TRUE(SaveProfileAs(path, saved, sink));
  RunSettings loaded;
  loaded.aExclude = {"old"};
  ASSERT_TRUE(LoadProfile(path, loaded, sink));
  EXPECT_EQ(loaded, saved);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(Profile, SaveLosesOnlyOuterBlanksAndQuotesAndSplitsColons) {
  TempDir dir;
  RecordingSink sink;
  const std::string path = dir / "lossy.folioscribe_options";
  RunSettings saved;
  saved.sStartDirectoryPath = "\"/srv/quoted site\"";
  saved.sDomain = "  example.org\t";
  saved.sTemplateStart = "  a  b  ";
  saved.aExclude = {"C:/temp", "x"};
  ASSERT_TRUE(SaveProfileAs(path, saved, sink));
  RunSettings loaded;
  ASSERT_TRUE(LoadProfile(path, loaded, sink));
  EXPECT_EQ(loaded.sStartDirectoryPath, "/srv/quoted site");
  EXPECT_EQ(loaded.sDomain, "example.org");
  EXPECT_EQ(loaded.sTemplateStart, "a  b");
  EXPECT_EQ(loaded.aExclude, (List{"C", "/temp", "x"}));
}

TEST(Profile, ExcludeKeyReplacesTheWholeListWhenPresent) {
  const struct {
    std::string line;
    List expected;
  } cases[] = {
      {"Exclude=", {}},
      {"Exclude=js", {"js"}},
      {"Exclude=c", {"c"}},
      {"Exclude=gif:/private/noenter", {"gif", "/private/noenter"}},
      {"Exclude=a::b", {"a", "", "b"}},
      {"exclude = \":\" ", {"", ""}},
      {"NotExclude=js", {"old", "older"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    RecordingSink sink;
    const std::string path =
        dir.Write("exclude.folioscribe_options", kGeneralKey + "[MORE_OPTIONS]\r\n" + c.line + "\r\n");
    RunSettings settings;
    settings.aExclude = {"old", "older"};
    ASSERT_TRUE(LoadProfile(path, settings, sink));
    EXPECT_EQ(settings.aExclude, c.expected) << c.line;
  }
}

// Unlike "Exclude", an earlier version's profile without these keys empties them.
TEST(Profile, PatternListsAreWholeWhenPresentAndEmptyWhenMissing) {
  const struct {
    std::string lines;
    List patterns;
    List include;
  } cases[] = {
      {"Patterns=*.css:!a.css\r\nInclude=*.htm", {"*.css", "!a.css"}, {"*.htm"}},
      {"Patterns=a\r\nInclude=", {"a"}, {}},
      {"Exclude=js", {}, {}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    RecordingSink sink;
    const std::string path = dir.Write("lists.folioscribe_options", kGeneralKey + "[MORE_OPTIONS]\r\n" + c.lines + "\r\n");
    RunSettings settings;
    settings.aPatterns = {"old"};
    settings.aInclude = {"old"};
    ASSERT_TRUE(LoadProfile(path, settings, sink));
    EXPECT_EQ(settings.aPatterns, c.patterns) << c.lines;
    EXPECT_EQ(settings.aInclude, c.include) << c.lines;
  }
}

TEST(Profile, LoadReadsNamesInAnyCaseAndValuesWhole) {
  TempDir dir;
  RecordingSink sink;
  const std::string longTemplate(5000, 'x');
  const std::string path = dir.Write("case.folioscribe_options",
                                     "[general]\n"
                                     "SSTARTDIRECTORYPATH = \"/srv/site\"\n"
                                     "sTemplateFile=&LT;li&GT;&#91;" + longTemplate + "\n"
                                     "[More_Options]\n"
                                     "bindexasdirtext=TRUE\n"
                                     "bUsePageRank=True\n"
                                     "bExcludeNotLinked=yes\n"
                                     "bAddSignature=2\n");
  RunSettings settings;
  settings.sOutPutFileName = "stale.html";
  settings.sTemplateEnd = "stale";
  settings.sDomain = "stale.example";
  ASSERT_TRUE(LoadProfile(path, settings, sink));
  EXPECT_EQ(settings.sStartDirectoryPath, "/srv/site");
  EXPECT_EQ(settings.sTemplateFile, "<li>[" + longTemplate);
  EXPECT_TRUE(settings.bIndexAsDirText);
  EXPECT_TRUE(settings.bUsePageRank);
  EXPECT_FALSE(settings.bExcludeNotLinked);
  EXPECT_FALSE(settings.bAddSignature);
  // Keys the file lacks fall back to their empty defaults.
  EXPECT_EQ(settings.sOutPutFileName, "");
  EXPECT_EQ(settings.sTemplateEnd, "");
  EXPECT_EQ(settings.sDomain, "");
}

TEST(Profile, LoadWithoutKeysEmptiesAllButTheExclusionList) {
  TempDir dir;
  RecordingSink sink;
  const std::string path = dir.Write("empty.folioscribe_options", "[GENERAL]\r\nsTemplateEnd=\r\n");
  RunSettings settings = FullSettings();
  ASSERT_TRUE(LoadProfile(path, settings, sink));
  RunSettings expected;
  expected.bAddSignature = false;
  expected.aExclude = FullSettings().aExclude;
  EXPECT_EQ(settings, expected);
}

TEST(Profile, PageAndPartLimitsArePositiveNumbersOrTheDefault) {
  TempDir dir;
  RecordingSink sink;
  const struct {
    const char* value;
    long long limit;
  } cases[] = {{"1000", 1000}, {" 5 ", 5}, {"0", kDefaultMaxPageBytes}, {"-3", kDefaultMaxPageBytes},
               {"12k", kDefaultMaxPageBytes}, {"", kDefaultMaxPageBytes}, {"99999999999", 99999999999}};
  for (const auto& c : cases) {
    const std::string path =
        dir.Write("p.folioscribe_options", kGeneralKey + "[MORE_OPTIONS]\r\nnMaxPageBytes=" + c.value + "\r\n");
    RunSettings settings;
    ASSERT_TRUE(LoadProfile(path, settings, sink));
    EXPECT_EQ(settings.nMaxPageBytes, c.limit) << c.value;
    dir.Write("p.folioscribe_options", kGeneralKey + "[MORE_OPTIONS]\r\nnSitemapPartEntries=" + c.value + "\r\n");
    ASSERT_TRUE(LoadProfile(path, settings, sink));
    EXPECT_EQ(settings.nSitemapPartEntries, c.limit == kDefaultMaxPageBytes ? 0 : c.limit) << c.value;
  }
}

TEST(Profile, MissingFileIsReportedAndChangesNothing) {
  TempDir dir;
  RecordingSink sink;
  const std::string path = dir / "absent.folioscribe_options";
  RunSettings settings = FullSettings();
  EXPECT_FALSE(LoadProfile(path, settings, sink));
  EXPECT_EQ(sink.messages, List{"Profile file: " + path + " does not exists"});
  EXPECT_EQ(settings, FullSettings());
}

TEST(Profile, SaveKeepsForeignKeysAndThePlaceOfOwnKeys) {
  TempDir dir;
  RecordingSink sink;
  const std::string path = dir.Write("mixed.folioscribe_options",
                                     "; my notes\r\n"
                                     "[general]\r\n"
                                     "myOwnKey=stays\r\n"
                                     "SOUTPUTFILENAME=old.html\r\n"
                                     "[Extra]\r\n"
                                     "answer=42\r\n");
  ASSERT_TRUE(SaveProfileAs(path, FullSettings(), sink));
  const std::string text = ReadFileForTest(path);
  EXPECT_TRUE(text.starts_with("; my notes\r\n[general]\r\nmyOwnKey=stays\r\n"
                               "sOutPutFileName=sitemap.html\r\nsStartDirectoryPath=/srv/my site\r\n"))
      << text;
  EXPECT_NE(text.find("[Extra]\r\nanswer=42\r\n[MORE_OPTIONS]\r\nExclude="), std::string::npos)
      << text;
  RunSettings loaded;
  ASSERT_TRUE(LoadProfile(path, loaded, sink));
  EXPECT_EQ(loaded, FullSettings());
}

TEST(Profile, SaveAddsTheExtensionOnlyWhenThereIsNone) {
  TempDir dir;
  RecordingSink sink;
  const std::pair<std::string, std::string> cases[] = {
      {dir / "mine", dir / "mine.folioscribe_options"},
      {dir / "my.cfg", dir / "my.cfg"},
      {dir / "v1.2/mine", dir / "v1.2/mine.folioscribe_options"},
  };
  dir.MakeFolder("v1.2");
  for (const auto& [typed, written] : cases) {
    ASSERT_TRUE(SaveProfileAs(typed, FullSettings(), sink)) << typed;
    RunSettings loaded;
    ASSERT_TRUE(LoadProfile(written, loaded, sink));
    EXPECT_EQ(loaded, FullSettings());
  }
  EXPECT_FALSE(PathExists(dir / "mine"));
  EXPECT_TRUE(sink.messages.empty());
}

TEST(Profile, FailedSaveIsReported) {
  TempDir dir;
  const std::string paths[] = {dir / "missing/folder/p.folioscribe_options",
                               dir.MakeFolder("a-folder.folioscribe_options")};
  const std::string reasons[] = {" (No such file or directory)", " (Is a directory)"};
  for (size_t i = 0; i < 2; ++i) {
    RecordingSink sink;
    EXPECT_FALSE(SaveProfileAs(paths[i], FullSettings(), sink));
    EXPECT_EQ(sink.messages, List{"Couldn't write profile file:" + paths[i] + reasons[i]});
  }
  EXPECT_EQ(ReadFileForTest(paths[0]), "<missing>");
}

}  // namespace
