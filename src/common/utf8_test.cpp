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

TEST(HtmlEntities, DecodesAsABrowserDoes) {
  const struct {
    const char* markup;
    const char* text;
    const char* attribute;  // where it differs
  } cases[] = {
      {"Caf&eacute; &AMP; &amp;lt; &#x41;&#66;&apos;&nbsp;", "Caf\xC3\xA9 & &lt; AB'\xC2\xA0", nullptr},
      {"&#0; &#xD800; &#1114112; &#99999999999; &#x80;&#x81;&#x9F;", "\xEF\xBF\xBD \xEF\xBF\xBD \xEF\xBF\xBD "
       "\xEF\xBF\xBD \xE2\x82\xAC\xC2\x81\xC5\xB8", nullptr},
      {"&#x; &# &unknown; a&b; & &;", "&#x; &# &unknown; a&b; & &;", nullptr},
      {"&#x70;1 caf&#233 &#x41x", "p1 caf\xC3\xA9 Ax", nullptr},
      // Longest name first; a legacy name without ";" ends where the table says.
      {"&notin; &notit; &amp &ampx &amp=", "\xE2\x88\x89 \xC2\xACit; & &x &=", "\xE2\x88\x89 &notit; & &ampx &amp="},
      {"&NotNestedGreaterGreater; &fjlig;", "\xE2\xAA\xA2\xCC\xB8 fj", nullptr},
      {"?a=1&copy=2&lang=3", "?a=1\xC2\xA9=2&lang=3", "?a=1&copy=2&lang=3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeHtmlEntities(c.markup), c.text) << c.markup;
    EXPECT_EQ(DecodeHtmlEntities(c.markup, ReferencePlace::kAttribute), c.attribute ? c.attribute : c.text)
        << c.markup;
  }
}
