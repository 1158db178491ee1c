#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "links/PageTitle.h"

namespace {

TEST(PageTitle, TakesTheTextOfThePlainTitleElement) {
  using namespace std::string_literals;
  const struct {
    std::string page;
    const char* title;
  } cases[] = {
      {"<html><TITLE>Home</TITLE>", "Home"},
      {"<title> Two\r\nlines </title>", " Two\r\nlines "},
      {"<title>Tom &amp; Jerry</title>", "Tom &amp; Jerry"},
      {"<title lang=\"en\">Not this</title>", ""},
      {"<title lang=\"en\">x</title><title>Plain</title>", "Plain"},
      {"<title>no end", ""},
      {"<title></title>", ""},
      {"<title>a < b</title>", "a "},
      {"\0<title>hidden</title>"s, ""},
      {"<title>cut\0</title>"s, ""},
      {"</title><tItLe>Late</TiTlE>", "Late"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.Write("p.htm", c.page);
    EXPECT_EQ(GetPageTitle(path), c.title) << c.page;
  }
  EXPECT_EQ(GetPageTitle(dir / "missing.htm"), "");
  EXPECT_EQ(GetPageTitle(dir.Path()), "");
}

TEST(PageTitle, ReadsFilesUpToTheFirstZeroByte) {
  using namespace std::string_literals;
  TempDir dir;
  EXPECT_EQ(ReadTextFile(dir.Write("z.htm", "ab\0cd"s)), "ab");
  EXPECT_EQ(ReadTextFile(dir.Write("e.htm", "")), "");
  EXPECT_EQ(TryReadTextFile(dir / "e.htm"), std::optional<std::string>(""));
  EXPECT_EQ(TryReadTextFile(dir / "missing.htm"), std::nullopt);
  EXPECT_EQ(ReadTextFile(dir / "missing.htm"), "");
}

TEST(WildcardFind, MatchesAtTheFrontOfTheRest) {
  const struct {
    const char* text;
    const char* pattern;
    bool ignoreCase;
    int64_t position;
  } cases[] = {
      {"abc", "b", false, 1},          {"abc", "", false, 0},
      {"", "", false, 0},              {"", "a", false, -1},
      {"abc", "x", false, -1},         {"abc", "B", false, -1},
      {"abc", "B", true, 1},           {"xxabbbc", "a*c", false, 2},
      {"xxabbbd", "a*c", false, -1},   {"a1b2", "?2", false, 2},
      {"zaxbx", "[b-c]x", false, 3},   {"zaxbx", "[!a-b]x", false, -1},
      {"zaxbx", "[^z]x", false, 1},    {"QX", "[a-z]x", true, 0},
      {"a[b", "[b", false, 1},         {"<title>x</title>", "<TITLE>*</TITLE>", true, 0},
      {"ab**", "b**", false, 1},       {"a<title>x", "<title>*</title>", true, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WildcardFind(c.text, c.pattern, c.ignoreCase), c.position) << c.text << " " << c.pattern;
}

}  // namespace
