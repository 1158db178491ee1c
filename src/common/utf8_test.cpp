#include <gtest/gtest.h>

#include "common/HtmlEntities.h"
#include "common/Utf8.h"

TEST(Utf8, OnlyWellFormedSequencesAreValid) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {"plain", true},          {"caf\xC3\xA9", true},     {"\xE2\x82\xAC", true},
      {"\xF0\x9F\x98\x80", true}, {"caf\xE9", false},       {"\xC0\xAF", false},
      {"\xE0\x80\xAF", false},  {"\xED\xA0\x80", false},   {"\xF4\x90\x80\x80", false},
      {"\xE2\x82", false},      {"\x80", false},           {"\xC3\xA9\xC3", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
  std::string encoded;
  for (char32_t c : {U'A', U'\u00E9', U'\u20AC', U'\U0001F600'}) AppendUtf8(encoded, c);
  EXPECT_EQ(encoded, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(HtmlEntities, DecodesKnownReferencesOnly) {
  EXPECT_EQ(DecodeHtmlEntities("Caf&eacute; &AMP; &amp;lt; &#x41;&#66;&apos;&nbsp;"),
            "Caf\xC3\xA9 &AMP; &lt; AB'\xC2\xA0");
  EXPECT_EQ(DecodeHtmlEntities("&#0; &#xD800; &#1114112; &#x; &amp &unknown; a&b; &"),
            "&#0; &#xD800; &#1114112; &#x; &amp &unknown; a&b; &");
}
