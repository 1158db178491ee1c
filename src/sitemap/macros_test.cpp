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
  EXPECT_EQ(Expand("%indentation%x", "docs", 3), "&nbsp&nbsp&nbspx");
  EXPECT_EQ(Expand("%indentation%x", "docs", 0), "x");
  // A link text is searched by the macros after it, but not by its own.
  EXPECT_EQ(Expand("[%autoHrefText%]", "docs", 1, "%fName% %AutoHrefText%"),
            "[docs %AutoHrefText%]");
}

TEST_F(ExpandMacrosTest, FoldersAndTheStartFolder) {
  EXPECT_EQ(Expand("%fTitle%|%fName%|%fSizeb%", "my.folder"), "my|my.folder|0");
  EXPECT_EQ(ExpandMacros("[%fRelativePath%]", dir.Path(), 0, "", settings), "[]");
  EXPECT_EQ(Expand("%fSizeb%", "missing.html"), "0");
}

TEST_F(ExpandMacrosTest, ThumbnailsOfImagesOnly) {
  struct Case {
    std::string file, plain, web;
  } cases[] = {
      {"docs/PHOTO.JPG", "<img border=\"1\" src=\"docs/PHOTO.JPG\" height=\"24\">",
       "<img border=\"1\" src=\"docs/PHOTO.JPG\" height=\"24\">"},
      {"docs/a b.png", "<img border=\"1\" src=\"docs/a b.png\" height=\"24\">",
       "<img border=\"1\" src=\"docs/a%20b.png\" height=\"24\">"},
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
            "[]<img border=\"1\" src=\"\" height=\"24\">");
}

TEST_F(ExpandMacrosTest, WebFormsEncodeWhatWouldBreakALink) {
  EXPECT_EQ(Expand("%fNameWeb%", "docs/100% #1?.html"), "100%25%20%231%3F.html");
}

TEST_F(ExpandMacrosTest, CurrentDateAndTime) {
  const std::string now = Expand("%curDate% %CURTIME%", "docs");
  EXPECT_TRUE(std::regex_match(now, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << now;
}
