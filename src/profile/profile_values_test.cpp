#include "profile/ProfileValues.h"

#include <gtest/gtest.h>

namespace {

using List = std::vector<std::string>;

TEST(ProfileValues, SplitList) {
  const struct {
    std::string text;
    std::string separator;
    bool keepEmpty;
    List pieces;
  } cases[] = {
      {"gif:/private/noenter", ":", true, {"gif", "/private/noenter"}},
      {"a::b", ":", true, {"a", "", "b"}},
      {"a::b", ":", false, {"a", "b"}},
      {":a:", ":", true, {"", "a", ""}},
      {":a:", ":", false, {"a"}},
      {"", ":", true, {""}},
      {"", ":", false, {}},
      {"a--b-c", "--", true, {"a", "b-c"}},
      {"a:b", "", true, {"a:b"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitList(c.text, c.separator, c.keepEmpty), c.pieces) << c.text;
}

TEST(ProfileValues, JoinList) {
  EXPECT_EQ(JoinList({"gif", "/private/noenter"}, ":"), "gif:/private/noenter");
  EXPECT_EQ(JoinList({"a", "", "b"}, ":"), "a::b");
  EXPECT_EQ(JoinList({"a", "b"}, ""), "ab");
  EXPECT_EQ(JoinList({"only"}, ":"), "only");
  EXPECT_EQ(JoinList({}, ":"), "");
}

TEST(ProfileValues, FlagRule) {
  const IniFile file = IniFile::Parse(
      "[S]\n"
      "one=1\nupper=TRUE\nlower=true\nmixed=tRuE\nquoted=\"True\"\n"
      "yes=yes\ntwo=2\nempty=\nzero=0\nspaced=1 1\n");
  const struct {
    std::string key;
    bool defaultFlag;
    bool expected;
  } cases[] = {
      {"one", false, true},    {"upper", false, true}, {"lower", false, true},
      {"mixed", false, true},  {"quoted", false, true}, {"yes", true, false},
      {"two", true, false},    {"empty", true, false},  {"zero", true, false},
      {"spaced", true, false}, {"missing", true, true}, {"missing", false, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadProfileFlag(file, "s", c.key, c.defaultFlag), c.expected) << c.key;
}

TEST(ProfileValues, FlagsAreWrittenAsDigits) {
  IniFile file;
  WriteProfileFlag(file, "S", "on", true);
  WriteProfileFlag(file, "S", "off", false);
  EXPECT_EQ(file.Serialize(), "[S]\r\non=1\r\noff=0\r\n");
}

}  // namespace
