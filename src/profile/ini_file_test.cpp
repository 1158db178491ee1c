#include "profile/IniFile.h"

#include <gtest/gtest.h>

namespace {

TEST(IniFile, FindFollowsTheReadingRules) {
  const IniFile file = IniFile::Parse(
      "top=before any section\n"
      "[General]\r\n"
      "Plain=value\r\n"
      "  Spaced \t=\t  a  b \t\r\n"
      "dq=\"  quoted  \"\r\n"
      "sq='single'\r\n"
      "mixed=\"half'\r\n"
      "inner=a \"b\" c\r\n"
      "lone=\"\r\n"
      "eq=a=b\r\n"
      "empty=\r\n"
      ";comment=no\r\n"
      "plain=second\r\n"
      "[ other ]\n"
      "plain=other section\n"
      "[GENERAL]\n"
      "late=in a repeated header\n");
  const struct {
    std::string section;
    std::string key;
    std::optional<std::string> value;
  } cases[] = {
      {"general", "PLAIN", "value"},
      {"GENERAL", "spaced", "a  b"},
      {"General", "dq", "  quoted  "},
      {"General", "sq", "single"},
      {"General", "mixed", "\"half'"},
      {"General", "inner", "a \"b\" c"},
      {"General", "lone", "\""},
      {"General", "eq", "a=b"},
      {"General", "empty", ""},
      {"General", ";comment", std::nullopt},
      {"General", "missing", std::nullopt},
      {"General", "top", std::nullopt},
      {"General", "late", std::nullopt},
      {"Other", "plain", "other section"},
      {"missing", "plain", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(file.Find(c.section, c.key), c.value) << "[" << c.section << "] " << c.key;
  // A byte-order mark before the first header does not hide that section.
  EXPECT_EQ(IniFile::Parse("\xEF\xBB\xBF[GENERAL]\r\nkey=v\r\n").Find("GENERAL", "key"), "v");
}

TEST(IniFile, KeepsWhatItDoesNotKnow) {
  const std::string text =
      "; written by hand\r\n"
      "[ GENERAL ]\r\n"
      "sDomain = example.org\r\n"
      "custom = kept  \r\n"
      "\r\n"
      "[ELSEWHERE]\r\n"
      "x=1\r\n";
  EXPECT_EQ(IniFile::Parse(text).Serialize(), text);
  EXPECT_EQ(IniFile::Parse("a=1\n[S]\nb=2").Serialize(), "a=1\r\n[S]\r\nb=2\r\n");
  EXPECT_EQ(IniFile::Parse("").Serialize(), "");
}

TEST(IniFile, SetReplacesInPlaceAndAppendsWhatIsMissing) {
  IniFile file = IniFile::Parse(
      "[general]\r\n"
      "FIRST=1\r\n"
      "second=2\r\n"
      "\r\n"
      "[more]\r\n"
      "third=3\r\n");
  file.Set("GENERAL", "first", "one");
  file.Set("General", "new", "n");
  file.Set("MORE", "third", "=[x]");
  file.Set("Added", "k", "v");
  EXPECT_EQ(file.Serialize(),
            "[general]\r\n"
            "first=one\r\n"
            "second=2\r\n"
            "new=n\r\n"
            "\r\n"
            "[more]\r\n"
            "third==[x]\r\n"
            "[Added]\r\n"
            "k=v\r\n");
  EXPECT_EQ(file.Find("more", "third"), "=[x]");
}

}  // namespace
