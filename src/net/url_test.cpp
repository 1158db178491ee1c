#include "net/Url.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlTest, NormalisesAsTheUrlStandard) {
  const struct {
    const char* url;
    const char* normal;
  } cases[] = {
      {"HTTP://Example.ORG/a", "http://example.org/a"},
      {"http://example.org/a#x", "http://example.org/a"},
      {"https://example.org", "https://example.org/"},
      {"http://example.org:80/", "http://example.org/"},
      {"https://example.org:443/x", "https://example.org/x"},
      {"https://example.org:0080/x", "https://example.org:80/x"},
      {"http://example.org:/x", "http://example.org/x"},
      {"http://example.org/a/./b/../c", "http://example.org/a/c"},
      {"http://example.org/a/%2E%2e/b", "http://example.org/b"},
      {"http://example.org/a/..", "http://example.org/"},
      {"http://example.org/../../x", "http://example.org/x"},
      {"http:\\\\example.org\\a\\b", "http://example.org/a/b"},
      {"http:example.org/x", "http://example.org/x"},
      {"http:///x", "http://x/"},
      {"http://example.org/a b\"<>`{}", "http://example.org/a%20b%22%3C%3E%60%7B%7D"},
      {"http://example.org/caf\xC3\xA9", "http://example.org/caf%C3%A9"},
      {"http://example.org/%7euser/%zz", "http://example.org/%7euser/%zz"},
      {"http://example.org/p?q=a b&x='1'#frag", "http://example.org/p?q=a%20b&x=%271%27"},
      {"http://example.org/p?a/../b", "http://example.org/p?a/../b"},
      {"http://User:Pw@Example.org:8080/", "http://User:Pw@example.org:8080/"},
      {"http://[::1]:8080/x", "http://[::1]:8080/x"},
      {"  http://example.org/ ", "http://example.org/"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormaliseWebUrl(c.url).value_or("(none)"), c.normal) << c.url;

  const char* errors[] = {"ftp://example.org/", "mailto:me@example.org",  "http://",
                          "http://@/x",         "http://example.org:8x/", "//example.org/x",
                          "example.org"};
  for (const char* url : errors) EXPECT_FALSE(NormaliseWebUrl(url)) << url;
}

TEST(UrlTest, HostOfNormalisedUrl) {
  EXPECT_EQ(UrlHost("https://example.org:8080/a"), "example.org");
  EXPECT_EQ(UrlHost("http://me@127.0.0.3/"), "127.0.0.3");
  EXPECT_EQ(UrlHost("http://[::1]:80/"), "[::1]");
  EXPECT_EQ(UrlHost("http://example.org"), "example.org");
}

}  // namespace
