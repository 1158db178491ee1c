#include "common/TextBuffer.h"

#include <gtest/gtest.h>

namespace {

TEST(TextBuffer, FindFrom) {
  const TextBuffer buffer("Index.HTML index.html");
  const struct {
    std::string what;
    int64_t start;
    bool ignoreCase;
    int64_t expected;
  } cases[] = {
      {"index", 0, false, 11}, {"index", 0, true, 0},   {"INDEX", 1, true, 11},
      {"html", 0, true, 6},    {"html", 12, true, 17},  {"html", 18, true, -1},
      {"x", 21, false, -1},    {"x", 22, false, -1},    {"x", -1, false, -1},
      {"Index.HTML", 0, false, 0},
      // A first character without case: the places holding it are jumped to.
      {".html", 0, true, 5},   {".HTML", 6, true, 16},  {".htmlx", 6, true, -1},
      {"", 21, true, 21},
  };
  for (const auto& c : cases)
    EXPECT_EQ(buffer.FindFrom(c.what, c.start, c.ignoreCase), c.expected)
        << c.what << " from " << c.start << (c.ignoreCase ? " ignoring case" : "");
}

TEST(TextBuffer, ReplaceFirstKeepsTheRest) {
  TextBuffer buffer("%fName% and %FNAME%");
  EXPECT_EQ(buffer.ReplaceFirst("%fname%", "a b", true, 1), 12);
  EXPECT_EQ(buffer.Text(), "%fName% and a b");
  EXPECT_EQ(buffer.ReplaceFirst("%fname%", "x", false, 0), -1);
  EXPECT_EQ(buffer.Text(), "%fName% and a b");
}

TEST(TextBuffer, ReplaceAllResumesBehindTheReplacement) {
  const struct {
    std::string text;
    std::string what;
    std::string replacement;
    bool ignoreCase;
    std::string expected;
    int64_t count;
  } cases[] = {
      {"aaa", "a", "aa", true, "aaaaaa", 3},
      {"AaA", "a", "b", false, "AbA", 1},
      {"AaA", "a", "", true, "", 3},
      {"&lt;&LT;", "&lt;", "<", true, "<<", 2},
      {"abab", "ba", "ab", false, "aabb", 1},
      {"nothing", "x", "y", true, "nothing", 0},
      {"text", "", "y", true, "text", 0},
  };
  for (const auto& c : cases) {
    TextBuffer buffer(c.text);
    EXPECT_EQ(buffer.ReplaceAll(c.what, c.replacement, c.ignoreCase), c.count) << c.text;
    EXPECT_EQ(buffer.Text(), c.expected) << c.text;
  }
}

TEST(TextBuffer, MidIncludesBothEndsAndClamps) {
  const TextBuffer buffer("0123456789");
  EXPECT_EQ(buffer.Mid(2, 4).Text(), "234");
  EXPECT_EQ(buffer.Mid(7, 99).Text(), "789");
  EXPECT_EQ(buffer.Mid(-3, 0).Text(), "0");
  EXPECT_EQ(buffer.Mid(5, 4).Text(), "");
  EXPECT_EQ(buffer.Mid(10, 12).Text(), "");
}

TEST(TextBuffer, AppendNumberAndCopies) {
  TextBuffer buffer("n=");
  buffer.AppendNumber(-42);
  buffer.AppendNumber(9000000000);
  TextBuffer copy = buffer;
  copy.Text() += "!";
  EXPECT_EQ(buffer.Text(), "n=-429000000000");
  EXPECT_EQ(copy.Text(), "n=-429000000000!");
}

}  // namespace
