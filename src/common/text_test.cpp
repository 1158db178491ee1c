#include "common/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace {

TEST(Text, CaseFoldingTouchesAsciiOnly) {
  EXPECT_EQ(ToLowerAscii("AbZ@[\xC4\xD6"), "abz@[\xC4\xD6");
  EXPECT_TRUE(EqualsNoCase("Index.HTM", "index.htm"));
  EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4"));
  EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
  EXPECT_TRUE(StartsWithNoCase("HTTP://x", "http:"));
  EXPECT_FALSE(StartsWithNoCase("htt", "http"));
}

TEST(Text, Trim) {
  const struct {
    const char* text;
    const char* blanks;
    const char* trimmed;
  } cases[] = {
      {" \t\r\n\f\va b\v\f\n\r\t ", " \t\n\r\f\v", "a b"},
      {"\fa\r\n", " \t\n\r", "\fa"},
      {" \t ", " \t", ""},
      {"", " ", ""},
      {"x", " ", "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Trim(c.text, c.blanks), c.trimmed) << c.text;
  EXPECT_EQ(Trim("\v x \f"), "x");
}

TEST(Text, FindNoCase) {
  const struct {
    std::string text;
    std::string what;
    int64_t expected;
  } cases[] = {
      {"c:/site/Images.Gif", "GIF", 15}, {"abc", "", 0},   {"", "", 0},
      {"ab", "abc", -1},                 {"aXbx", "x", 1}, {"abc", "d", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(FindNoCase(c.text, c.what), c.expected) << c.text;
}

TEST(Text, WebEscapeEncodesWhatBreaksLinks) {
  const struct {
    std::string name;
    std::string escaped;
  } cases[] = {
      {"docs/a b.html", "docs/a%20b.html"},
      {"100% #1?.htm", "100%25%20%231%3F.htm"},
      {"say \"hi\".htm", "say%20%22hi%22.htm"},
      {"%20.htm", "%2520.htm"},
      {"..\\out\\o.html", "..%5Cout%5Co.html"},
      {"plain/name-1_x.htm", "plain/name-1_x.htm"},
  };
  for (const auto& c : cases) EXPECT_EQ(WebEscape(c.name), c.escaped) << c.name;
}

TEST(Text, FormatLocalTime) {
  // 2023-11-14 22:13 UTC: the same month in every time zone.
  EXPECT_EQ(FormatLocalTime(1700000000, "%Y-%m (%%)"), "2023-11 (%)");
  // A short format whose result outgrows the 127 characters.
  EXPECT_EQ(FormatLocalTime(1700000000, std::string(123, 'x') + "%Y"),
            std::string(123, 'x') + "2023");
  EXPECT_EQ(FormatLocalTime(1700000000, std::string(124, 'x') + "%Y"), "");
  EXPECT_EQ(FormatLocalTime(0, std::string(127, 'x')), std::string(127, 'x'));
  EXPECT_EQ(FormatLocalTime(0, std::string(128, 'x')), "");
  EXPECT_EQ(FormatLocalTime(INT64_MAX, "%Y"), "");
}

TEST(Text, ProfileEscapingStoresEveryEntity) {
  EXPECT_EQ(EscapeProfileText("<a href=\"x\">[it's]</a>\r\n&"),
            "&lt;a href&#61;&quot;x&quot;&gt;&#91;it&#39;s&#93;&lt;/a&gt;&#13;&#10;&amp;");
  EXPECT_EQ(EscapeProfileText("&lt;"), "&amp;lt;");
  EXPECT_EQ(EscapeProfileText("plain text"), "plain text");
}

TEST(Text, ProfileUnescaping) {
  const struct {
    std::string stored;
    std::string text;
  } cases[] = {
      {"&amp;lt;", "&lt;"},
      {"&LT;b&GT;&QUOT;&#61;&AMP;", "<b>\"=&"},
      {"line1&#13;&#10;line2", "line1\r\nline2"},
      {"&amp;amp;", "&amp;"},
      {"&#1", "&#1"},
      {"a &unknown; b", "a &unknown; b"},
  };
  for (const auto& c : cases) EXPECT_EQ(UnescapeProfileText(c.stored), c.text) << c.stored;
}

TEST(Text, ProfileEscapingRoundTrips) {
  const std::string texts[] = {
      "<ul>\r\n<li><a href=\"%fRelativePathWeb%\">%AutoHrefText%</a></li>",
      "&lt; &amp; &#13; [x]='y'",
      "\n\r&&&;;",
  };
  for (const std::string& text : texts) {
    const std::string stored = EscapeProfileText(text);
    EXPECT_EQ(stored.find_first_of("\r\n\"'<>=[]"), std::string::npos) << stored;
    EXPECT_EQ(UnescapeProfileText(stored), text);
  }
}

}  // namespace

TEST(Text, GroupedNumberAndEditDistance) {
  const std::pair<int64_t, const char*> numbers[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {1448, "1,448"}, {123456789, "123,456,789"},
      {-1234567, "-1,234,567"}};
  for (const auto& [number, text] : numbers) EXPECT_EQ(GroupedNumber(number), text) << number;
  EXPECT_EQ(Counted(1, "page"), "1 page");
  EXPECT_EQ(Counted(0, "orphan"), "0 orphans");
  EXPECT_EQ(Counted(155122, "link"), "155,122 links");
  EXPECT_EQ(EditDistance("sampel", "sample"), 2u);
  EXPECT_EQ(EditDistance("", "abc"), 3u);
  EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
  EXPECT_EQ(EditDistance("same", "same"), 0u);
}
