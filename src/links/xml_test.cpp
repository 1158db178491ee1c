#include <gtest/gtest.h>

#include <algorithm>

#include "common/Paths.h"
#include "links/EXmlBasics.h"
#include "log/TraceLogTesting.h"
#include "platform/Program.h"

namespace {

struct TagCase {
  const char* input;
  int32_t kind;
  const char* text;
  const char* name;
  bool closing;
  bool selfClosing;
  int64_t posAfter;
};

TEST(XmlReader, ReadsItems) {
  const TagCase cases[] = {
      {"<a href=\"x.htm\">", XmlTag::kElement, "a href=\"x.htm\"", "a", false, false, 16},
      {"</A >", XmlTag::kElement, "A", "A", true, false, 5},
      {"<br/>", XmlTag::kElement, "br", "br", false, true, 5},
      {"<img src=\"i.gif\" />", XmlTag::kElement, "img src=\"i.gif\"", "img", false, true, 19},
      {"<a HREF = \"x.htm\">", XmlTag::kElement, "a HREF=\"x.htm\"", "a", false, false, 18},
      {"<a title=\"a &amp; b &quot;\">", XmlTag::kElement, "a title=\"a & b \"\"", "a", false, false, 28},
      {"<!-- a <b> c -->x", XmlTag::kComment, " a <b> c ", "", false, false, 16},
      {"<?xml version=\"1.0\"?>", XmlTag::kElement, "xml version=\"1.0\"", "xml", false, false, 21},
      {"<?XML?>", XmlTag::kElement, "XML", "XML", false, false, 7},
      {"  Hello  <b>", XmlTag::kText, "Hello", "", false, false, 9},
      {"tail", XmlTag::kText, "", "", false, false, 4},
      // HTML attribute syntax: single quotes, unquoted and bare values, names with - : .
      {"<a href='x.htm'>", XmlTag::kElement, "a href=\"x.htm\"", "a", false, false, 16},
      {"<a target=_top href=\"y.htm\">", XmlTag::kElement, "a target=\"_top\" href=\"y.htm\"", "a",
       false, false, 28},
      {"<input disabled data-id=\"7\" aria-label='L' xml:lang=en>", XmlTag::kElement,
       "input disabled=\"\" data-id=\"7\" aria-label=\"L\" xml:lang=\"en\"", "input", false, false, 55},
      {"<my-el a.b=1/>", XmlTag::kElement, "my-el a.b=\"1/\"", "my-el", false, false, 14},
      // Script-framework names: any byte but white space and " ' > / = <.
      {"<a @click=\"f\" :href='y' _x $ href=\"x\">", XmlTag::kElement,
       "a @click=\"f\" :href=\"y\" _x=\"\" $=\"\" href=\"x\"", "a", false, false, 38},
      {"<b :id=\"1\" :ID=\"2\"/>", XmlTag::kElement, "b :id=\"2\"", "b", false, true, 20},
  };
  for (const TagCase& c : cases) {
    SCOPED_TRACE(c.input);
    XmlCursor cursor(c.input);
    XmlTag tag;
    EXPECT_TRUE(ReadTag(cursor, tag));
    EXPECT_EQ(tag.kind, c.kind);
    EXPECT_EQ(tag.text, c.text);
    EXPECT_EQ(tag.GetTagName(), c.name);
    EXPECT_EQ(tag.closing, c.closing);
    EXPECT_EQ(tag.selfClosing, c.selfClosing);
    EXPECT_EQ(cursor.pos, c.posAfter);
    EXPECT_EQ(cursor.errors, "");
  }
}

struct ErrorCase {
  const char* input;
  bool result;
  const char* errors;
};

TEST(XmlReader, ReportsErrorsWithPositions) {
  const ErrorCase errors[] = {
      {"<!DOCTYPE html>", false, "!-- expected (comment) at line: 1,pos: 5\r\n"},
      {"<!-- open", false, "--> expected (end of comment) at line: 1,pos: 4\r\n"},
      {"<?php x ?>", false, "?xml expected, not:?php at line: 1,pos: 6\r\n"},
      {"<?xml a=\"1\" ?x>", true, "> expected, was: x at line: 1,pos: 14\r\n"},
      {"<?xml ? x>", false, "> expected, was: x at line: 1,pos: 9\r\n"},
      {"</a x>", false, "> expected, was: a at line: 1,pos: 5\r\n"},
      {"<a href=\"x\" =>", true, "attribute name expected, was= at line: 1,pos: 14\r\n"},
      {"<a x\"y\">", true,
       "= expected, was x at line: 1,pos: 5\r\n> expected, was: \" at line: 1,pos: 5\r\n"},
      {"<a href=>", true, "\" expected,was href at line: 1,pos: 9\r\n"},
      {"<a href=\"x>", true, "> expected, was:  at line: 1,pos: 12\r\n"},
      {"<p\r\n  class=\"a\"\r\n  <>", true,
       "attribute name expected, was< at line: 3,pos: 3\r\n"},
      {"<p 'x'>", true,
       "attribute name expected, was' at line: 1,pos: 5\r\n> expected, was: x at line: 1,pos: 5\r\n"},
  };
  for (const ErrorCase& e : errors) {
    SCOPED_TRACE(e.input);
    XmlCursor cursor(e.input);
    XmlTag tag;
    EXPECT_EQ(ReadTag(cursor, tag), e.result);
    EXPECT_EQ(cursor.errors, e.errors);
    EXPECT_TRUE(cursor.error);
  }
}

TEST(XmlReader, CountsLinesAtCarriageReturnsOnly) {
  const std::string text = "ab\r\ncd\nef";
  const struct {
    int64_t pos;
    const char* expected;
  } cases[] = {
      {0, "x at line: 1,pos: 1\r\n"},  {2, "x at line: 1,pos: 3\r\n"},
      {4, "x at line: 2,pos: 0\r\n"},  {5, "x at line: 2,pos: 1\r\n"},
      {8, "x at line: 2,pos: 3\r\n"},  {99, "x at line: 2,pos: 4\r\n"},
  };
  for (const auto& c : cases) {
    XmlCursor cursor(text);
    cursor.pos = c.pos;
    cursor.ReportError("x");
    EXPECT_EQ(cursor.errors, c.expected) << c.pos;
  }
}

TEST(XmlReader, CountsLinesOnOneCursorInAnyOrder) {
  XmlCursor cursor("ab\r\ncd\nef\r\ng");
  const struct {
    int64_t pos;
    const char* expected;
  } reports[] = {
      {5, "x at line: 2,pos: 1\r\n"},  {8, "x at line: 2,pos: 3\r\n"},
      {8, "x at line: 2,pos: 3\r\n"},  {2, "x at line: 1,pos: 3\r\n"},
      {11, "x at line: 3,pos: 0\r\n"}, {99, "x at line: 3,pos: 1\r\n"},
      {-1, "x at line: 1,pos: 1\r\n"}, {7, "x at line: 2,pos: 2\r\n"},
  };
  std::string expected;
  for (const auto& r : reports) {
    cursor.pos = r.pos;
    cursor.ReportError("x");
    expected += r.expected;
    EXPECT_EQ(cursor.errors, expected) << r.pos;
  }
}

TEST(XmlReader, ReportsManyErrorsInALongText) {
  const int lines = 20000;
  std::string text;
  for (int i = 0; i < lines; ++i) text += "<p 'x'>\r\n";
  XmlCursor cursor(text);
  while (!cursor.PastEnd()) {
    XmlTag tag;
    ReadTag(cursor, tag);
  }
  EXPECT_EQ(std::count(cursor.errors.begin(), cursor.errors.end(), '\n'), 2 * lines);
  EXPECT_TRUE(cursor.errors.ends_with(
      "' at line: 20000,pos: 4\r\n> expected, was: x at line: 20000,pos: 4\r\n"));
}

std::vector<std::string> Tokens(const std::string& text, bool dotNumbers) {
  XmlCursor cursor(text);
  std::vector<std::string> tokens;
  for (;;) {
    std::string token;
    GetToken(cursor, token, dotNumbers);
    if (token.empty()) return tokens;
    tokens.push_back(token);
  }
}

TEST(XmlReader, SplitsTokens) {
  using T = std::vector<std::string>;
  EXPECT_EQ(Tokens("1.5", true), T({"1.5"}));
  EXPECT_EQ(Tokens("1.5", false), T({"1", ".", "5"}));
  EXPECT_EQ(Tokens("1.5.3", true), T({"1.5", ".", "3"}));
  EXPECT_EQ(Tokens("a.b", true), T({"a", ".", "b"}));
  EXPECT_EQ(Tokens(" _id\t\xC3\xA9t\xC3\xA9 x=\"y\"", true), T({"_id", "\xC3\xA9t\xC3\xA9", "x", "=", "\"", "y", "\""}));
}

TEST(XmlReader, ReadsAttributeMaps) {
  XmlCursor cursor("p class=\"a\" CLASS='c' class=\"b\" title=\"&lt;&amp;&gt;\" hidden>");
  AttributeMap map;
  EXPECT_TRUE(ReadAttributeMap(cursor, map, true));
  EXPECT_EQ(map.Size(), 5u);  // "p" itself reads as a bare attribute
  ASSERT_NE(map.FindNoCase("CLASS"), nullptr);
  EXPECT_EQ(*map.FindNoCase("CLASS"), "b");  // the first name in reading order, last value
  EXPECT_EQ(*map.FindNoCase("Title"), "<&>");
  EXPECT_EQ(*map.FindNoCase("hidden"), "");
  EXPECT_EQ(map.FindNoCase("href"), nullptr);
  EXPECT_TRUE(cursor.IsAt('>'));

  XmlCursor broken("a x=\"1\" 'y'");
  AttributeMap partial;
  EXPECT_FALSE(ReadAttributeMap(broken, partial, true));
  EXPECT_EQ(partial.Size(), 2u);
}

class AttributeReaderLog : public TraceLogTest {};

TEST_F(AttributeReaderLog, NamesTheReaderWhenTheErrorFlagIsMissing) {
  std::string name, value;
  XmlCursor any("x=\"1\"");
  EXPECT_FALSE(KXmlGetNextAttributeAndValue(any, name, value, nullptr));
  EXPECT_EQ(any.pos, 0);
  const auto lines = ReadLog(logs_ + "/" + PathName(ProgramPath()) + ".MainThread.log");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].message, "Error:KXmlGetNextAttributeAndValue(), pbWasError==NULL");
  EXPECT_EQ(lines[0].sourceFile, "EXmlBasics");
}

TEST(XmlReader, EditsTagText) {
  XmlTag tag;
  tag.kind = XmlTag::kElement;
  tag.text = "a href=\"x\" data-id=\"t\"";
  EXPECT_EQ(tag.GetTagName(), "a");
  tag.SetAttribute("HREF", "y");
  tag.SetAttribute("Data-Id", "");
  tag.SetAttribute("id", "1");
  EXPECT_EQ(tag.text, "a href=\"y\" data-id=\"\" id=\"1\"");
  tag.SetTagName("link");
  EXPECT_EQ(tag.text, "link href=\"y\" data-id=\"\" id=\"1\"");
  EXPECT_EQ(tag.kind, XmlTag::kElement);

  XmlTag nameless;
  nameless.kind = XmlTag::kElement;
  nameless.text = "href=\"x\"";
  EXPECT_EQ(nameless.GetTagName(), "");
  nameless.SetTagName("a");
  EXPECT_EQ(nameless.text, "a href=\"x\"");
  nameless.text = "br  ";
  EXPECT_EQ(nameless.GetTagName(), "br");
}

TEST(XmlCursor, Primitives) {
  XmlCursor cursor("Some <TITLE>x</title>");
  cursor.SkipToText("<title>", true, true);
  EXPECT_EQ(cursor.pos, 12);
  EXPECT_EQ(cursor.LastSpan().SpanText(), "Some <TITLE>x");  // the span ends on pos
  cursor.SkipToText("<TITLE>", false, false);
  EXPECT_TRUE(cursor.error);
  EXPECT_EQ(cursor.pos, 12);
  cursor.SkipTo('/');
  EXPECT_EQ(cursor.pos, 14);
  cursor.SkipTo('#');
  EXPECT_TRUE(cursor.error);
  EXPECT_TRUE(cursor.PastEnd());
  EXPECT_FALSE(cursor.Advance());

  XmlCursor chars("ab");
  EXPECT_EQ(chars.GetChars(5), "ab");
  EXPECT_EQ(chars.pos, 5);
  EXPECT_EQ(chars.Current(), '\0');

  const struct {
    const char* text;
    bool matches;
    int64_t posAfter;
  } words[] = {{"a href", true, 1}, {"A>", true, 1}, {"abbr", false, 0}, {"a_b", false, 0},
               {"a", true, 1},      {"", false, 0}};
  for (const auto& w : words) {
    XmlCursor word(w.text);
    EXPECT_EQ(word.MatchWord("a", true), w.matches) << w.text;
    EXPECT_EQ(word.pos, w.posAfter) << w.text;
  }
  XmlCursor upper("A ");
  EXPECT_FALSE(upper.MatchWord("a", false));

  XmlCursor words2("  ..word2, next");
  words2.SkipToWord();
  EXPECT_EQ(words2.pos, 4);
  words2.SkipWord();
  EXPECT_EQ(words2.LastSpan().SpanText(), "word2,");  // the span ends on the stop character
}

}  // namespace
