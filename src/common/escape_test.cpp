#include "common/Escape.h"

#include <gtest/gtest.h>

#include "common/Utf8.h"

namespace {

TEST(EscapedLine, LeavesNoByteThatCouldForgeALineOrDriveATerminal) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"plain/name.html", "plain/name.html"},
      {"a\\b", "a\\\\b"},
      {"o\norphan: fake.html", "o\\norphan: fake.html"},
      {"t\tr\r", "t\\tr\\r"},
      {"a\x1b]0;PWNED\x07\x1b[2J.html", "a\\x1b]0;PWNED\\x07\\x1b[2J.html"},
      {"us\x1f del\x7f", "us\\x1f del\\x7f"},
      {"lat\xe9.html", "lat\\xe9.html"},
      {"cut \xc3", "cut \\xc3"},
      {"csi \xc2\x9b" "2J", "csi \\xc2\\x9b2J"},  // a C1 control a terminal would obey
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapedLine(c.text), c.expected) << c.expected;
    EXPECT_EQ(IsSafeLine(c.text), c.text.find_first_of("\\") != std::string::npos ||
                                      c.text == c.expected)
        << c.expected;
    EXPECT_TRUE(IsSafeLine(EscapedLine(c.text))) << c.expected;
    std::string line = "12:";
    AppendEscapedLine(c.text, line);
    EXPECT_EQ(line, "12:" + c.expected) << c.expected;
  }
}

// Texts are looked at a word or a block at a time, the last one overlapping the one before:
// a byte to escape is found at any place of a text of any length, alone or after another,
// and the printable bytes next to the limits (" ", "~", "[", "]") are left as they are.
TEST(EscapedLine, FindsEachByteToEscapeWhereverItStands) {
  const struct {
    char byte;
    std::string escaped;
  } cases[] = {
      {'\\', "\\\\"}, {'\x7f', "\\x7f"}, {'\x1f', "\\x1f"}, {'\0', "\\x00"}, {'\n', "\\n"},
      {'\x80', "\\x80"}, {'\xff', "\\xff"}, {' ', " "},          {'~', "~"},         {'[', "["},
      {']', "]"},
  };
  for (const auto& c : cases) {
    for (size_t length = 1; length <= 70; ++length) {
      for (size_t at = 0; at < length; ++at) {
        std::string line(length, 'a');
        line[at] = c.byte;
        const std::string expected = std::string(at, 'a') + c.escaped + std::string(length - 1 - at, 'a');
        EXPECT_EQ(EscapedLine(line), expected) << c.escaped << " at " << at << " of " << length;
        EXPECT_EQ(IsPlainAscii(line), c.escaped.size() == 1) << c.escaped << " at " << at << " of " << length;
        if (at + 1 == length) continue;
        line.back() = '\x01';
        EXPECT_EQ(EscapedLine(line), expected.substr(0, expected.size() - 1) + "\\x01")
            << c.escaped << " at " << at << " of " << length << ", then one more";
      }
    }
  }
}

TEST(JsonEscaped, GivesValidUtf8WithEveryControlAndQuoteEscaped) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"a\\b", "a\\\\b"},
      {"say \"hi\"", "say \\\"hi\\\""},
      {"l\nr\rt\t", "l\\nr\\rt\\t"},
      {"us\x1f", "us\\u001f"},
      {"del\x7f", "del\x7f"},  // allowed raw in JSON
      {"lat\xe9.html", "lat\xef\xbf\xbd.html"},
      {"\xff\xfe", "\xef\xbf\xbd\xef\xbf\xbd"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonEscaped(c.text), c.expected) << c.expected;
    EXPECT_TRUE(IsValidUtf8(JsonEscaped(c.text))) << c.expected;
  }
  EXPECT_EQ(JsonString("a\\\"b"), "\"a\\\\\\\"b\"");
}

TEST(ValidUtf8, ReplacesOnlyTheBytesThatAreNotUtf8) {
  EXPECT_EQ(ValidUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
  EXPECT_EQ(ValidUtf8("lat\xe9.html"), "lat\xef\xbf\xbd.html");
  EXPECT_EQ(ValidUtf8("\xc0\xaf"), "\xef\xbf\xbd\xef\xbf\xbd");  // overlong "/"
  EXPECT_EQ(ValidUtf8(""), "");
}

}  // namespace
