#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

#include "tests/support/TempDir.h"
#include "links/PageTitle.h"

namespace {

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

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
      {"<title>one</title><title>two</title>", "one"},
      {"<title>a<title>b</title>", "a"},
      {"<title lang=\"en\"></title><title>x", ""},
      {"</TITLE><title>", ""},
      {"<title></title", ""},
      {"<title>x</title>"s.insert(0, 3000, '<'), "x"},
      // Many openings and no closing tag: the search must not start over at each.
      {Repeat("<title>x", 100000), ""},
      {Repeat("<TITLE>x", 100000) + "</title>", "x"},
      // Read piece by piece until the title is whole.
      {std::string(300000, 'x') + "<title>Far</title>", "Far"},
      {"<title>Far<" + std::string(300000, ' ') + "</title>", "Far"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.Write("p.htm", c.page);
    EXPECT_EQ(GetPageTitle(path), c.title) << c.page;
  }
  EXPECT_EQ(GetPageTitle(dir / "missing.htm"), "");
  EXPECT_EQ(GetPageTitle(dir.Path()), "");
}

// The title search finds what the wildcard pattern "<title>*</title>" finds.
TEST(PageTitle, AgreesWithTheWildcardSearchOnRandomPages) {
  static const char* const pieces[] = {"<title>", "</title>", "<TiTlE>", "</TITLE>", "<title x>", "<", ">",
                                       "x", " ", "</title", "<title"};
  std::mt19937 random(7);
  for (int n = 0; n < 2000; ++n) {
    std::string page;
    for (size_t count = random() % 12; count > 0; --count) page += pieces[random() % std::size(pieces)];
    const int64_t p = WildcardFind(page, "<title>*</title>", true);
    const size_t s = p < 0 ? 0 : page.find('>', static_cast<size_t>(p)) + 1;
    const std::string expected = p < 0 ? "" : page.substr(s, page.find('<', s) - s);
    ASSERT_EQ(TitleInText(page), expected) << page;
  }
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

TEST(PageTitle, PagesLargerThanTheLimitAndSpecialFilesAreNotRead) {
  TempDir dir;
  const std::string page = dir.Write("p.htm", "<title>Ten</title>");
  EXPECT_EQ(GetPageTitle(page, 18), "Ten");
  EXPECT_EQ(GetPageTitle(page, 17), "");
  std::string text = "old";
  EXPECT_EQ(ReadPage(page, 17, text), PageRead::kTooLarge);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ReadPage(page, 18, text), PageRead::kRead);
  EXPECT_EQ(text, "<title>Ten</title>");
  ASSERT_EQ(mkfifo((dir / "fifo.htm").c_str(), 0600), 0);
  EXPECT_EQ(ReadPage(dir / "fifo.htm", 100, text), PageRead::kUnreadable);
  EXPECT_EQ(GetPageTitle(dir / "fifo.htm"), "");
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

TEST(PageTitle, ConvertsTheTitleFromThePagesCharacterSetToUtf8) {
  const std::string eacute = "\xC3\xA9";
  const std::string euro = "\xE2\x82\xAC";
  const struct {
    std::string page, title;
  } cases[] = {
      {"<title>caf\xC3\xA9</title>", "caf" + eacute},
      {"<title>caf\xE9 \x80</title>", "caf" + eacute + " " + euro},
      {"<meta charset=\"ISO-8859-1\"><title>caf\xE9</title>", "caf" + eacute},
      {"<title>caf\xE9</title><META CHARSET=latin1>", "caf" + eacute},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-15\">"
       "<title>\xA4</title>", euro},
      {"<?xml version=\"1.0\" encoding='ISO-8859-2'?><title>\xB1</title>", "\xC4\x85"},
      {"<meta charset=\"koi8-r\"><title>\xC1</title>", "\xD0\xB0"},
      {"\xEF\xBB\xBF<meta charset=\"iso-8859-1\"><title>caf\xC3\xA9</title>", "caf" + eacute},
      // A page that breaks its declaration keeps what is readable.
      {"<meta charset=\"utf-8\"><title>a\xE9z</title>", "a\xEF\xBF\xBDz"},
      {"<meta charset=\"no-such-set\"><title>caf\xE9</title>", "caf" + eacute},
      // The body is no place for a declaration.
      {"<title>caf\xC3\xA9</title><body><meta charset=\"iso-8859-1\">", "caf" + eacute},
      {"<meta name=\"charset\"><title>caf\xE9 &amp;</title>", "caf" + eacute + " &amp;"},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleInText(c.page), c.title) << c.page;
}

TEST(PageTitles, KeepsTheLatestTitleOfEachOfManyPages) {
  PageTitles titles;
  for (int i = 0; i < 3000; ++i) titles.Remember("/site/p" + std::to_string(i) + ".htm", "T" + std::to_string(i));
  titles.Remember("/site/p7.htm", "Seven");
  titles.Remember("/site/empty.htm", "");
  EXPECT_EQ(titles.Of("/site/p0.htm"), "T0");
  EXPECT_EQ(titles.Of("/site/p2999.htm"), "T2999");
  EXPECT_EQ(titles.Of("/site/p7.htm"), "Seven");
  EXPECT_EQ(titles.Of("/site/P7.htm"), "");  // not remembered, and not on the disk
  EXPECT_EQ(titles.Of("/site/empty.htm"), "");
}
