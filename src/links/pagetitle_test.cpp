#include <gtest/gtest.h>

#include <sys/stat.h>


#include "tests/support/TempDir.h"
#include "links/PageTitle.h"

namespace {

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(PageTitle, TakesTheTextOfTheFirstTitleElement) {
  using namespace std::string_literals;
  const struct {
    std::string page;
    std::string title;
  } cases[] = {
      {"<html><TITLE>Home</TITLE>", "Home"},
      {"<title> Two\r\nlines </title>", " Two\r\nlines "},
      {"<title>Tom &amp; Jerry</title>", "Tom &amp; Jerry"},
      {"<title lang=\"en\">With attributes</title>", "With attributes"},
      {"<title lang=\"en\">x</title><title>Plain</title>", "x"},
      {"<!-- <title>Comment</title> --><script>'<title>Code</title>'</script><title>Real</title>", "Real"},
      {"<title>no end", ""},
      {"<title></title>", ""},
      {"<title>a < b</title>", "a < b"},
      {"\0<title>hidden</title>"s, ""},
      {"<title>cut\0</title>"s, ""},
      {"</title><tItLe>Late</TiTlE>", "Late"},
      {"<title>one</title><title>two</title>", "one"},
      {"<title>a<title>b</title>", "a<title>b"},
      {"<title lang=\"en\"></title><title>x", ""},
      {"</TITLE><title>", ""},
      {"<title></title", ""},
      {"<title>x</title>"s.insert(0, 3000, '<'), "x"},
      // Many openings and no closing tag: the search must not start over at each.
      {Repeat("<title>x", 100000), ""},
      {Repeat("<TITLE>x", 100000) + "</title>", "x" + Repeat("<TITLE>x", 99999)},
      // Read piece by piece until the title is whole.
      {std::string(300000, 'x') + "<title>Far</title>", "Far"},
      {"<title>Far<" + std::string(300000, ' ') + "</title>", "Far<" + std::string(300000, ' ')},
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
  // UTF-16 with its byte-order mark is read as UTF-8; its zero bytes are part of it.
  const std::string page = "<title>Caf\u00E9</title>";
  std::string le = "\xFF\xFE"s, be = "\xFE\xFF"s;
  for (char c : "<title>Caf\xE9</title>"s) {
    le += c, le += '\0';
    be += '\0', be += c;
  }
  EXPECT_EQ(ReadTextFile(dir.Write("le.htm", le)), page);
  EXPECT_EQ(GetPageTitle(dir.Write("be.htm", be + "\0<\0/\0p\0>"s)), "Caf\u00E9");
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

TEST(PageTitles, TellsPathsInsideAndOutsideTheFirstPagesFolderApart) {
  PageTitles titles;
  titles.Remember("/site/index.htm", "Home");
  titles.Remember("/site/sub/a.htm", "Inside");
  titles.Remember("sub/a.htm", "Relative");  // the same rest as the page inside, kept whole
  titles.Remember("/other/sub/a.htm", "Outside");
  titles.Remember("/sitex/a.htm", "Sibling");
  for (int i = 0; i < 100; ++i) titles.Remember("/site/p" + std::to_string(i) + ".htm", "");  // moves the slots
  EXPECT_EQ(titles.Of("/site/index.htm"), "Home");
  EXPECT_EQ(titles.Of("/site/sub/a.htm"), "Inside");
  EXPECT_EQ(titles.Of("sub/a.htm"), "Relative");
  EXPECT_EQ(titles.Of("/other/sub/a.htm"), "Outside");
  EXPECT_EQ(titles.Of("/sitex/a.htm"), "Sibling");
  EXPECT_EQ(titles.Of("/site/a.htm"), "");  // not remembered, and not on the disk
}
