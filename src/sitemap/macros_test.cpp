#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "tests/support/TempDir.h"
#include "common/Text.h"
#include "sitemap/Macros.h"

namespace fsys = std::filesystem;

namespace {

constexpr int64_t kPageTime = 1700000000;

class ExpandMacrosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({{"docs/my page.html", "12345"}, {"docs/PHOTO.JPG", ""}, {"docs/photo.jpe", ""},
               {"docs/a b.png", ""}, {"my.folder/", ""}, {"docs/100% #1?.html", ""}});
    fsys::last_write_time(dir / "docs/my page.html",
                          fsys::file_time_type::clock::from_sys(
                              std::chrono::sys_seconds(std::chrono::seconds(kPageTime))));
    settings.sStartDirectoryPath = dir.Path();
    settings.sOutPutFileName = "sitemap.html";
    settings.sDomain = "https://www.example.org/";
  }
  std::string Expand(const std::string& text, const std::string& relative, int depth = 1,
                     const std::string& linkText = "") {
    return ExpandMacros(text, dir / relative, depth, linkText, settings);
  }
  TempDir dir;
  RunSettings settings;
};

}  // namespace

TEST_F(ExpandMacrosTest, PathMacrosOfAFile) {
  const std::string page = "docs/my page.html";
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"%fName%", "my page.html"},
      {"%fNameWeb%", "my%20page.html"},
      {"%fTitle%|%fTitleWeb%", "my page|my%20page"},
      {"%fRelativePath%", "docs/my page.html"},
      {"%FRELATIVEPATHWEB%", "docs/my%20page.html"},
      {"%fAbsoluteLocalPath%", dir / page},
      {"%fAbsoluteLocalPathWeb%", WebEscape(dir.Path()) + "/docs/my%20page.html"},
      {"%fParentName%/%fParentNameWeb%", "docs/docs"},
      {"%fSizeb%", "5"},
      {"%domain%%fRelativePathWeb%", "https://www.example.org/docs/my%20page.html"},
      {"%fDateTime%", FormatLocalTime(kPageTime, "%Y-%m-%d %H:%M:%S")},
      {"%fName% and %FNAME%", "my page.html and my page.html"},
      {"50% off %unknown% %fName", "50% off %unknown% %fName"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text, page), c.expected) << c.text;
}

TEST_F(ExpandMacrosTest, DateTimeFormatExpandsItsFirstOccurrenceOnly) {
  const std::string page = "docs/my page.html";
  const std::string year = FormatLocalTime(kPageTime, "%Y");
  EXPECT_EQ(Expand("<%fDateTimeFormat(%Y)%|%fdatetimeformat(%m)%>", page),
            "<" + year + "|%fdatetimeformat(%m)%>");
  EXPECT_EQ(Expand("%fDateTimeFormat(%Y", page), "%fDateTimeFormat(%Y");
}

TEST_F(ExpandMacrosTest, DepthDomainAndLinkText) {
  EXPECT_EQ(Expand("%indentation%x", "docs", 3), "&nbsp;&nbsp;&nbsp;x");
  EXPECT_EQ(Expand("%indentation%x", "docs", 0), "x");
  // A link text comes from a page: macro names in it are text, not macros.
  EXPECT_EQ(Expand("[%autoHrefText%]", "docs", 1, "%fName% %AutoHrefText%"),
            "[%fName% %AutoHrefText%]");
}

TEST_F(ExpandMacrosTest, FoldersAndTheStartFolder) {
  EXPECT_EQ(Expand("%fTitle%|%fName%|%fSizeb%", "my.folder"), "my|my.folder|0");
  EXPECT_EQ(ExpandMacros("[%fRelativePath%]", dir.Path(), 0, "", settings), "[]");
  EXPECT_EQ(Expand("%fSizeb%", "missing.html"), "0");
}

TEST_F(ExpandMacrosTest, ThumbnailsOfImagesOnlyEscapedForTheirAttribute) {
  dir.Build({{"docs/<a&b'\".png", ""}});
  auto img = [](const std::string& source) {
    return "<img src=\"" + source + "\" alt=\"\" height=\"24\" style=\"border: 1px solid\">";
  };
  struct Case {
    std::string file, plain, web;
  } cases[] = {
      {"docs/PHOTO.JPG", img("docs/PHOTO.JPG"), img("docs/PHOTO.JPG")},
      {"docs/a b.png", img("docs/a b.png"), img("docs/a%20b.png")},
      {"docs/<a&b'\".png", img("docs/&lt;a&amp;b&#39;&quot;.png"), img("docs/&lt;a&amp;b&#39;%22.png")},
      {"docs/photo.jpe", "", ""},
      {"docs/my page.html", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Expand("%ImageThumb%", c.file), c.plain);
    EXPECT_EQ(Expand("%imagethumbweb%", c.file), c.web);
  }
  settings.sOutPutFileName = "docs/map.html";  // the other images now lie outside
  EXPECT_EQ(Expand("%fRelativePath%", "docs/a b.png"), "a b.png");
  EXPECT_EQ(Expand("[%fRelativePath%]%ImageThumb%", "gallery/x.gif"),
            "[../gallery/x.gif]" + img("../gallery/x.gif"));
}

TEST_F(ExpandMacrosTest, WebFormsEncodeWhatWouldBreakALink) {
  EXPECT_EQ(Expand("%fNameWeb%", "docs/100% #1?.html"), "100%25%20%231%3F.html");
}

TEST_F(ExpandMacrosTest, CurrentDateAndTime) {
  const std::string now = Expand("%curDate% %CURTIME%", "docs");
  EXPECT_TRUE(std::regex_match(now, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << now;
}

TEST_F(ExpandMacrosTest, FiltersEscapeThePlainValueForTheirOutput) {
  const std::string hostile = "docs/a&b <\"c\">'.html";
  dir.Build({{hostile, ""}, {"docs/caf\xE9\x07.html", ""}});
  struct Case {
    std::string text, file, expected;
  } cases[] = {
      {"%fName|html%", hostile, "a&amp;b &lt;&quot;c&quot;&gt;&#39;.html"},
      {"%FNAME|URL%", hostile, "a%26b%20%3C%22c%22%3E%27.html"},
      {"%fRelativePath|url|xml%", hostile, "docs/a%26b%20%3C%22c%22%3E%27.html"},
      {"%fName|xml|url%", "docs/a b.png", "a%20b.png"},
      {"%fName|html|url%", hostile, "a%26amp%3Bb%20%26lt%3B%26quot%3Bc%26quot%3B%26gt%3B%26%2339%3B.html"},
      {"%fName|json%", hostile, "a&b <\\\"c\\\">'.html"},
      {"%fName|xml%", "docs/caf\xE9\x07.html", "caf\xEF\xBF\xBD.html"},
      {"%fName|url%", "docs/caf\xE9\x07.html", "caf%E9%07.html"},
      {"%fName|json%", "docs/caf\xE9\x07.html", "caf\xEF\xBF\xBD\\u0007.html"},
      // A map stays valid UTF-8 whatever bytes a name holds.
      {"%fName|html%", "docs/caf\xE9\x07.html", "caf\xEF\xBF\xBD\x07.html"},
      {"%fDateTimeFormat(%Y<)|xml%", "docs/my page.html", FormatLocalTime(kPageTime, "%Y") + "&lt;"},
      // A filter it does not know leaves the whole macro as written.
      {"%fName|bogus% %fName|xml|Bogus%", hostile, "%fName|bogus% %fName|xml|Bogus%"},
      {"%fName|% %fName|xml", hostile, "%fName|% %fName|xml"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text, c.file), c.expected) << c.text;
}

TEST_F(ExpandMacrosTest, FilteredLinkTextsStartFromTheDecodedTitle) {
  const SiteItem page = ItemAt(dir / "docs/my page.html");
  const LinkText title{"Caf&eacute; &amp; &lt;b&gt; &#8364;&#x41; &bogus; %fName%", true};
  auto expand = [&](const std::string& text, const LinkText& linkText) {
    return ExpandMacros(text, page, 1, linkText, settings);
  };
  EXPECT_EQ(expand("%AutoHrefText%", title), title.text);
  EXPECT_EQ(expand("%AutoHrefText|xml%", title),
            "Caf\xC3\xA9 &amp; &lt;b&gt; \xE2\x82\xAC" "A &amp;bogus; %fName%");
  EXPECT_EQ(expand("%autohreftext|json%", title),
            "Caf\xC3\xA9 & <b> \xE2\x82\xAC" "A &bogus; %fName%");
  // A name is no markup: its "&amp;" is what the file is called.
  EXPECT_EQ(expand("%AutoHrefText|html%", LinkText{"Tom &amp; Jerry.pdf"}),
            "Tom &amp;amp; Jerry.pdf");
}

TEST_F(ExpandMacrosTest, RelativePathsFromAnyOutputFolder) {
  struct Case {
    std::string output, item, expected;
  } cases[] = {
      {"sitemap.html", "docs/my page.html", "docs/my page.html"},
      {dir / "maps/site.html", "docs/my page.html", "../docs/my page.html"},
      {dir / "maps/deep/site.html", "docs", "../../docs"},
      {dir / "docs/sub/site.html", "docs/my page.html", "../my page.html"},
      {dir / "docs/sub/site.html", "", "../../"},
      {"docs/site.html", "docs", ""},
      {"/site.html", "docs/my page.html", (dir / "docs/my page.html").substr(1)},
  };
  for (const Case& c : cases) {
    settings.sOutPutFileName = c.output;
    EXPECT_EQ(Expand("%fRelativePath%", c.item), c.expected) << c.output << " " << c.item;
  }
  settings.sOutPutFileName = dir / "maps/site.html";
  EXPECT_EQ(Expand("%fRelativePathWeb%", "docs/my page.html"), "../docs/my%20page.html");
}

TEST_F(ExpandMacrosTest, UrlsJoinTheDomainAndThePathFromTheStartFolder) {
  dir.Build({{"news/index.html", ""}, {"news/a&b.html", ""}});
  struct Case {
    std::string domain, item;
    bool clean;
    std::string expected;
  } cases[] = {
      {"https://example.org/", "docs/my page.html", false, "https://example.org/docs/my%20page.html"},
      {"https://example.org", "news/a&b.html", false, "https://example.org/news/a%26b.html"},
      {"https://example.org//", "news", false, "https://example.org/news"},
      {"https://example.org", "news", true, "https://example.org/news/"},
      {"https://example.org", "news/index.html", false, "https://example.org/news/index.html"},
      {"https://example.org", "news/index.html", true, "https://example.org/news/"},
      {"https://example.org", "", true, "https://example.org/"},
      {"https://example.org", "", false, "https://example.org/"},
  };
  for (const Case& c : cases) {
    settings.sDomain = c.domain;
    settings.bCleanFolderUrls = c.clean;
    EXPECT_EQ(Expand("%fUrl%", c.item), c.expected) << c.domain << " " << c.item;
  }
}

TEST_F(ExpandMacrosTest, EveryMacroOfTheTableExpands) {
  for (const MacroDefinition& macro : MacroTable()) {
    const std::string text = MacroText(macro);
    EXPECT_NE(Expand("[" + text + "]", "docs/a b.png", 1, "x"), "[" + text + "]") << text;
    EXPECT_TRUE(UsesMacro("<" + text + ">", macro.name)) << text;
    EXPECT_FALSE(macro.description.empty() || macro.example.empty()) << text;
  }
}

TEST_F(ExpandMacrosTest, ATemplateReadOnceExpandsEachItemAsAlone) {
  const ExpandableTemplate entry("50% <%fName%|%fDateTimeFormat(%Y)%|%fDateTimeFormat(%m)%|%fName|bad%|%fSizeb%>");
  const std::string folder = OutputFolder(settings);
  // One text for all: each expansion replaces the one before.
  std::string expanded;
  for (const char* relative : {"docs/my page.html", "docs/a b.png", "my.folder"}) {
    const SiteItem item = ItemAt(dir / relative);
    entry.Expand(expanded, item, 1, {}, settings, folder);
    EXPECT_EQ(expanded, ExpandMacros(entry.Text(), item.path, 1, "", settings)) << relative;
  }
  entry.Expand(expanded, ItemAt(dir / "docs/my page.html"), 1, {}, settings, folder);
  EXPECT_EQ(expanded,
            "50% <my page.html|" + FormatLocalTime(kPageTime, "%Y") + "|%fDateTimeFormat(%m)%|%fName|bad%|5>");
  EXPECT_TRUE(UsesItemStatus("%fDateTime%") && UsesItemStatus("%FSIZEB|xml%"));
  EXPECT_FALSE(UsesItemStatus("%fName% %fDateTime %fSize%"));
}
