// A page's links as the crawl keeps them, against each href resolved on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "links/CrawlPage.h"

namespace {

// "href -> found | target | beyond root | followed" for each link kept of `page`.
std::vector<std::string> Kept(const ParsedPage& page) {
  std::vector<std::string> kept;
  std::string_view texts = page.linkTexts;
  for (const ParsedLink& link : page.links) {
    const ParsedLinkTexts t(link, texts);
    kept.push_back(std::string(t.href) + " -> " + std::string(t.found) + " | " + std::string(t.target) + " | " +
                   std::string(t.beyondRoot) + (link.follow ? " | followed" : ""));
  }
  return kept;
}

// The same, each href resolved on its own by a resolver that knows the page's base.
std::vector<std::string> EachOnItsOwn(const ParsedPage& page, const RunContext& context, const char* base) {
  LinkResolver resolver(page.path, context);
  if (base != nullptr) resolver.SetBase(base);
  std::vector<std::string> kept;
  std::string_view texts = page.linkTexts;
  for (const ParsedLink& link : page.links) {
    const ParsedLinkTexts t(link, texts);
    const ResolvedLink resolved = resolver.Resolve(t.href);
    const bool follow = resolved.follow && link.kind == LinkKind::kHyperlink;
    kept.push_back(std::string(t.href) + " -> " + resolved.found + " | " + resolved.target + " | " +
                   resolved.beyondRoot + (follow ? " | followed" : ""));
  }
  return kept;
}

// An href that comes again on a page, as another kind of link too, is taken as the first
// one, also where a base element later on the page moves where the hrefs lead.
TEST(ParsePageText, ResolvesAnHrefThatComesAgainAsTheFirst) {
  const RunContext context{.root = "/site", .domain = "http://example.org/"};
  const struct {
    const char* page;
    const char* base;  // the href of the page's base element
    size_t links;
  } cases[] = {
      {"<img src=\"x.htm\"><a href=\"x.htm\"><a href=\" x.htm\"><a href=\"x.htm\"><script src=\"x.htm\"></script>"
       "<a href=\"../../../up.htm\"><a href=\"../../../up.htm#a\"><a href=\"../../../up.htm\">"
       "<a href=\"http://example.org/a/b.htm\"><a href=\"http://example.org/a/b.htm\">"
       "<a href=\"mailto:m@example.org\"><area href=\"mailto:m@example.org\"><a href=\"\"><a href=\"\">",
       nullptr, 14},
      {"<a href=\"x.htm\"><img src=\"x.htm\"><a href=\"x.htm\"><base href=\"/other/\"><a href=\"../x.htm\">"
       "<a href=\"x.htm\"><a href=\"../x.htm\">",
       "/other/", 6},
      {"<a href=\"x.htm\"><a href=\"x.htm\"><base href=\"http://elsewhere.net/dir/\"><a href=\"x.htm\">",
       "http://elsewhere.net/dir/", 3},
  };
  for (const auto& c : cases) {
    std::string text = c.page;
    ParsedPage page;
    ParsePageText("/site/a/b/page.htm", text, context, PageNeeds{}, page);
    EXPECT_EQ(page.read, PageRead::kRead);
    EXPECT_EQ(page.path, "/site/a/b/page.htm");
    EXPECT_EQ(page.links.size(), c.links) << c.page;
    EXPECT_EQ(Kept(page), EachOnItsOwn(page, context, c.base)) << c.page;
    EXPECT_EQ(text, c.page) << "the page keeps no text it was not asked for";
  }
}

}  // namespace
