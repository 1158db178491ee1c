#include "common/PathPatterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

PathPatterns Patterns(const Lines& lines, const std::string& folder = "") {
  PathPatterns patterns;
  for (const std::string& line : lines) patterns.Add(line, folder);
  return patterns;
}

const char* Name(PatternMatch match) {
  return match == PatternMatch::kMatched ? "matched" : match == PatternMatch::kNegated ? "negated" : "none";
}

constexpr PatternMatch kNone = PatternMatch::kNone;
constexpr PatternMatch kMatched = PatternMatch::kMatched;
constexpr PatternMatch kNegated = PatternMatch::kNegated;

// The examples of git's documentation of ignore files, one path each.
TEST(PathPatterns, DocumentedCases) {
  const struct {
    Lines patterns;
    std::string path;
    bool isFolder;
    PatternMatch expected;
  } cases[] = {
      {{"hello.*"}, "hello.c", false, kMatched},
      {{"hello.*"}, "src/hello.h", false, kMatched},
      {{"hello.*"}, "hello", false, kNone},
      {{"foo/"}, "foo", true, kMatched},
      {{"foo/"}, "a/foo", true, kMatched},
      {{"foo/"}, "foo", false, kNone},
      {{"doc/frotz/"}, "doc/frotz", true, kMatched},
      {{"/doc/frotz/"}, "doc/frotz", true, kMatched},
      {{"doc/frotz/"}, "a/doc/frotz", true, kNone},
      {{"frotz/"}, "a/frotz", true, kMatched},
      {{"doc/frotz"}, "doc/frotz", false, kMatched},
      {{"/*.c"}, "cat-file.c", false, kMatched},
      {{"/*.c"}, "mozilla-sha1/sha1.c", false, kNone},
      {{"foo/*"}, "foo/test.json", false, kMatched},
      {{"foo/*"}, "foo/bar", true, kMatched},
      {{"foo/*"}, "foo/bar/hello.c", false, kNone},
      {{"**/foo"}, "foo", false, kMatched},
      {{"**/foo"}, "x/y/foo", true, kMatched},
      {{"**/foo/bar"}, "foo/bar", false, kMatched},
      {{"**/foo/bar"}, "x/foo/bar", false, kMatched},
      {{"**/foo/bar"}, "x/foo/y/bar", false, kNone},
      {{"abc/**"}, "abc/x", false, kMatched},
      {{"abc/**"}, "abc/x/y/z", false, kMatched},
      {{"abc/**"}, "abc", true, kNone},
      {{"a/**/b"}, "a/b", false, kMatched},
      {{"a/**/b"}, "a/x/b", false, kMatched},
      {{"a/**/b"}, "a/x/y/b", false, kMatched},
      {{"a/**/b"}, "a/x/y/c", false, kNone},
      {{"a/**/**/b"}, "a/b", false, kMatched},
      {{"a**b"}, "aXYb", false, kMatched},
      {{"a**b"}, "x/aXb", false, kMatched},
      {{"\\!important!.txt"}, "!important!.txt", false, kMatched},
      {{"\\#notes"}, "#notes", false, kMatched},
      {{"#notes"}, "#notes", false, kNone},
      {{"", "   "}, "x", false, kNone},
      {{"trail.txt   "}, "trail.txt", false, kMatched},
      {{"blank\\ "}, "blank ", false, kMatched},
      {{"blank\\ "}, "blank", false, kNone},
      {{"*.txt\r"}, "a.txt", false, kMatched},
      {{"[a-c]?.htm"}, "bx.htm", false, kMatched},
      {{"[a-c]?.htm"}, "dx.htm", false, kNone},
      {{"[!a-c]*"}, "dx.htm", false, kMatched},
      {{"*.html"}, "A.HTML", false, kNone},
      {{"*"}, "a/b", false, kMatched},
      {{"a*/b"}, "a/x/b", false, kNone},
      {{"a?b"}, "a/b", false, kNone},
      {{"*.log", "!keep.log"}, "keep.log", false, kNegated},
      {{"!keep.log", "*.log"}, "keep.log", false, kMatched},
      {{"/", "!", "//"}, "x", true, kNone},
  };
  for (const auto& c : cases) {
    const PatternMatch match = Patterns(c.patterns).Match(c.path, c.isFolder);
    EXPECT_EQ(match, c.expected) << c.patterns.front() << " on " << c.path << ": " << Name(match);
  }
}

// Patterns of an ignore file in a sub-folder apply to that folder and below.
TEST(PathPatterns, PatternsOfAFolderApplyBelowIt) {
  const PathPatterns patterns = Patterns({"*.txt", "/top.htm", "x/y"}, "docs/api");
  EXPECT_EQ(patterns.Match("docs/api/a.txt", false), kMatched);
  EXPECT_EQ(patterns.Match("docs/api/deep/a.txt", false), kMatched);
  EXPECT_EQ(patterns.Match("docs/a.txt", false), kNone);
  EXPECT_EQ(patterns.Match("docs/apix/a.txt", false), kNone);
  EXPECT_EQ(patterns.Match("docs/api/top.htm", false), kMatched);
  EXPECT_EQ(patterns.Match("docs/api/deep/top.htm", false), kNone);
  EXPECT_EQ(patterns.Match("docs/api/x/y", false), kMatched);
  EXPECT_EQ(patterns.Match("docs/api", true), kNone);
}

TEST(PathPatterns, LinesOfAFileAndTruncation) {
  PathPatterns patterns;
  patterns.AddLines("# build output\r\n*.o\r\n\r\n!main.o\n", "");
  ASSERT_EQ(patterns.Size(), 2u);
  EXPECT_EQ(patterns.Match("main.o", false), kNegated);
  patterns.AddLines("main.o", "src");
  EXPECT_EQ(patterns.Match("src/main.o", false), kMatched);
  patterns.Truncate(2);
  EXPECT_EQ(patterns.Match("src/main.o", false), kNegated);
  patterns.Truncate(0);
  EXPECT_TRUE(patterns.Empty());
  EXPECT_EQ(patterns.Match("a.o", false), kNone);
}

}  // namespace
