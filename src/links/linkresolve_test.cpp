#include <gtest/gtest.h>

#include "links/LineCounter.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "links/TargetSpellings.h"

namespace {

// The hrefs found, each with its offset, as "href@offset".
std::vector<std::string> Placed(const std::string& page, AnchorDetail detail) {
  std::vector<LinkInfo> links;
  ExtractLinks(page, links, detail);
  std::vector<std::string> placed;
  for (const LinkInfo& link : links) placed.push_back(link.href + "@" + std::to_string(link.offset));
  return placed;
}

// The hrefs found; reading titles and texts too must find the same anchors at the same places.
std::vector<std::string> Hrefs(const std::string& page) {
  const std::vector<std::string> placed = Placed(page, AnchorDetail::kHrefOnly);
  EXPECT_EQ(placed, Placed(page, AnchorDetail::kWithTitleAndText)) << page;
  std::vector<std::string> hrefs;
  for (const std::string& link : placed) hrefs.push_back(link.substr(0, link.rfind('@')));
  return hrefs;
}

TEST(ExtractLinks, FindsTheAnchorsABrowserFollows) {
  using H = std::vector<std::string>;
  const struct {
    const char* page;
    H hrefs;
  } cases[] = {
      {"<p><a href=\"x.htm\">x</a> <A\nHREF=\"y.htm\">y</A> < a href=\"text.htm\"></p>", {"x.htm", "y.htm"}},
      {"<a href=\"1.htm\">1</a><a href=\"2.htm\">2</a>", {"1.htm", "2.htm"}},
      {"<a data-id=7 aria-label='L' xml:lang=en href=\"y.htm\">y</a>", {"y.htm"}},
      {"<a href='s.htm'>s</a> <a href=u.htm>u</a> <a download href=\"d.htm\">", {"s.htm", "u.htm", "d.htm"}},
      {"<!-- <a href=\"c.htm\">c</a> --><a href=\"n.htm\">", {"n.htm"}},
      {"<!--><a href=\"e1.htm\"></a><!---><a href=\"e2.htm\"></a>", {"e1.htm", "e2.htm"}},
      {"<!-- never closed <a href=\"c.htm\">", {}},
      {"<script>w('<a href=\"s.htm\">')</SCRIPT><a href=\"t.htm\">t</a>", {"t.htm"}},
      {"<style>a[href=\"#\"]{}</style><scripts><a href=\"v.htm\">", {"v.htm"}},
      {"<script src=\"x.js\"><a href=\"s.htm\">", {"x.js"}},
      {"<a name=\"top\">top</a><a href=\"\">self</a>", {""}},
      {"<a>plain</a> <a href=\"after.htm\">", {"after.htm"}},
      {"<abbr>x</abbr><area href=\"m.htm\"><address>a</address>", {"m.htm"}},
      {"<a href=\"a&amp;b.htm\">", {"a&b.htm"}},
      // A new anchor closes the open one.
      {"<a href=\"1.htm\">one <a href=\"2.htm\">two</a>", {"1.htm", "2.htm"}},
      {"<a href=\"1.htm\">never closed <p><a href=\"2.htm\">two</a>", {"1.htm", "2.htm"}},
      {"<a href=\"1.htm\">1<A\nhref=\"2.htm\">2<a href=\"3.htm\"></a><a href=\"4.htm\">",
       {"1.htm", "2.htm", "3.htm", "4.htm"}},
      {"<a href=\"1.htm\"><abbr>x</abbr><!-- <a href=\"c.htm\"> --><script>'<a href=\"s.htm\">'</script></a>"
       "<a href=\"2.htm\">", {"1.htm", "2.htm"}},
      // A browser ignores the "/" of a self-closed anchor.
      {"<a href=\"1.htm\"/><a href=\"2.htm\">2</a>", {"1.htm", "2.htm"}},
      {"<a href=\"1.htm\" /></a><a href=\"2.htm\"/>", {"1.htm", "2.htm"}},
      // Script-framework attribute names before the href.
      {"<a @click=\"f()\" href=\"v.htm\">", {"v.htm"}},
      {"<a :href=\"y\" href=\"b.htm\">", {"b.htm"}},
      {"<a _x href=\"u.htm\">", {"u.htm"}},
      {"<a x-on:click.prevent=\"g\" $ href=\"w.htm\">", {"w.htm"}},
      {"<a HREF=\"X.htm\" href=\"x.htm\">", {"X.htm"}},
      {"no markup at all", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Hrefs(c.page), c.hrefs) << c.page;
}

TEST(ExtractLinks, TellsTheLineOfEachAnchor) {
  const std::string page =
      "<p>\r\n<a href=\"1.htm\">1</a><!-- <a href=\"c.htm\">\n\n --> <a\nhref=\"2.htm\">"
      "\n<a name=x>\n\n <a href=\"3.htm\">\r\r3</a>\n";
  std::vector<LinkInfo> links;
  ExtractLinks(page, links);
  ASSERT_EQ(links.size(), 3u);
  LineCounter lines(page);
  const int64_t expected[] = {2, 4, 8};
  for (size_t i = 0; i < links.size(); ++i) {
    EXPECT_EQ(page.substr(static_cast<size_t>(links[i].offset), 2), "<a") << i;
    EXPECT_EQ(lines.LineOf(links[i].offset), expected[i]) << i;
  }
  // Asked again out of order, and past either end.
  EXPECT_EQ(lines.LineOf(links[0].offset), 2);
  EXPECT_EQ(lines.LineOf(links[2].offset), 8);
  EXPECT_EQ(lines.LineOf(-5), 1);
  EXPECT_EQ(lines.LineOf(10000), 9);
}

TEST(ExtractFragmentTargets, FindsIdsAndAnchorNamesABrowserSees) {
  const std::string page(
      "<h1 id=\"one\">x</h1><P ID='two'><a name=\"three\" href=\"#one\"></a><div name=\"no\">"
      "<!-- <b id=\"hidden\"> --><script>'<b id=\"code\">'</script></p>< / b><svg:g id=four>"
      "<a id=\"a&amp;b\"><A NAME=six id=\"seven\">");
  std::vector<std::string> names;
  ExtractFragmentTargets(page, names);
  EXPECT_EQ(names, (std::vector<std::string>{"one", "two", "three", "four", "a&b", "seven", "six"}));
}

TEST(ExtractLinks, CollectsTitleAndTextWhenAsked) {
  std::vector<LinkInfo> links;
  ExtractLinks("<a href=\"x\" title=\"T &lt;\">Hello <b> World </b>!</a>", links);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].title, "T <");
  EXPECT_EQ(links[0].text, "HelloWorld!");
  links.clear();
  ExtractLinks("<a href=\"x\" title=\"T\">Hello</a>", links, AnchorDetail::kHrefOnly);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].title + links[0].text, "");
}

TEST(ExtractLinks, EndsAnAnchorWhereTheNextBegins) {
  std::vector<LinkInfo> links;
  ExtractLinks("<a href=\"1\">one <b>bold</b> <a href=\"2\"/>two<a href=\"3\">three</a> after", links);
  std::vector<std::string> texts;
  for (const LinkInfo& link : links) texts.push_back(link.href + ":" + link.text);
  EXPECT_EQ(texts, std::vector<std::string>({"1:onebold", "2:two", "3:three"}));

  // Every spelling of the closing tag ends the text, and only it does.
  links.clear();
  ExtractLinks("<a href=\"1\">one</a>x<a href=\"2\">two</A>x<a href=\"3\">th<i>r</i>ee</a >x"
               "<a href=\"4\">f</abbr>our</a>x<a href=\"5\">f</a-b>ive</a>x", links);
  texts.clear();
  for (const LinkInfo& link : links) texts.push_back(link.href + ":" + link.text);
  EXPECT_EQ(texts, std::vector<std::string>({"1:one", "2:two", "3:three", "4:four", "5:five"}));
}

TEST(ResolveLink, MapsHrefsToTargetsAndKeys) {
  const RunContext context{"/site/", "http://www.example.org/"};
  const std::string page = "/site/sub/p.htm";
  const struct {
    const char* href;
    const char* target;
    const char* key;
    bool follow;
  } cases[] = {
      {"../index.html", "/site/index.html", "/site", true},
      {"img/x.gif", "/site/sub/img/x.gif", "/site/sub/img/x.gif", true},
      {"./q.htm", "/site/sub/q.htm", "/site/sub/q.htm", true},
      {"docs\\", "/site/sub/docs/", "/site/sub/docs", true},
      {" Index.HTM ", "/site/sub/Index.HTM", "/site/sub", true},
      // From the site root, not from the page's folder.
      {"/about.htm", "/site/about.htm", "/site/about.htm", true},
      {"/", "/site", "/site", true},
      // The page itself.
      {"", "/site/sub/p.htm", "/site/sub/p.htm", true},
      {"#top", "/site/sub/p.htm", "/site/sub/p.htm", true},
      {"?sort=1", "/site/sub/p.htm", "/site/sub/p.htm", true},
      // Fragment and query are not part of the file.
      {"page.htm#top", "/site/sub/page.htm", "/site/sub/page.htm", true},
      {"page.htm?x=1#y", "/site/sub/page.htm", "/site/sub/page.htm", true},
      {"a%20b%25.htm", "/site/sub/a b%.htm", "/site/sub/a b%.htm", true},
      // Outside addresses, counted as written.
      {"//cdn.example.org/index.html", "//cdn.example.org/index.html", "//cdn.example.org/index.html", false},
      {"mailto:someone", "mailto:someone", "mailto:someone", false},
      {"javascript:void(0)", "javascript:void(0)", "javascript:void(0)", false},
      {"tel:+123", "tel:+123", "tel:+123", false},
      {"ftp://host/index.htm", "ftp://host/index.htm", "ftp://host/index.htm", false},
      {"data:text/html,<a href=x>", "data:text/html,<a href=x>", "data:text/html,<a href=x>", false},
      {"http://other.org/", "http://other.org/", "http://other.org/", false},
      {"http://other.org/?u=http://www.example.org/", "http://other.org/?u=http://www.example.org/",
       "http://other.org/?u=http://www.example.org/", false},
      {"C:\\x\\y.htm", "C:/x/y.htm", "C:/x/y.htm", false},
      // The own site, with either scheme and with or without "www.".
      {"http://www.example.org/a.htm", "/site/a.htm", "/site/a.htm", false},
      {"http://example.org/a.htm#x", "/site/a.htm", "/site/a.htm", false},
      {"HTTPS://www.Example.org/d/index.htm?q", "/site/d/index.htm", "/site/d", false},
      {"https://example.org/", "/site", "/site", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.href);
    const ResolvedLink link = ResolveLink(page, c.href, context);
    EXPECT_EQ(link.target, c.target);
    EXPECT_EQ(LinkKey(link.target), c.key);
    EXPECT_EQ(link.follow, c.follow);
  }
  EXPECT_EQ(ResolveLink(page, "http://www.example.org/a.htm", context).found, "/site/a.htm");
  EXPECT_EQ(ResolveLink(page, "a\\b.htm", context).found, "a/b.htm");
}

TEST(ResolveLink, MapsOwnSiteAddresses) {
  const struct {
    const char* domain;
    const char* url;
    const char* local;
  } cases[] = {
      {"http://www.x.org/", "http://www.x.org/a.htm", "/r/a.htm"},
      {"http://www.x.org/", "https://x.org/a.htm", "/r/a.htm"},
      {"https://www.x.org", "http://WWW.X.ORG/b/c.htm?q", "/r/b/c.htm?q"},
      {"http://x.org/", "http://www.x.org/a.htm", ""},  // "www." is only dropped from the domain
      {"http://www.x.org/", "http://www.y.org/a.htm", ""},
      {"", "http://www.x.org/a.htm", ""},
      {"http://www.x.org/", "mailto:a@www.x.org", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UrlToLocalPath(c.domain, "/r/", c.url), c.local) << c.domain << " " << c.url;
  EXPECT_EQ(ResolveLink("/r/p.htm", "http://www.x.org/a.htm", {"/r", ""}).target, "http://www.x.org/a.htm");
}

TEST(LinkResolution, SchemesAndMatching) {
  const struct {
    const char* text;
    const char* scheme;
    bool outside;
  } schemes[] = {{"", "", false},           {"x", "x", false},         {"\\\\srv\\s", "\\\\", false},
                 {"mailto:a", "mailto", true}, {":x", "", false},       {"abc", "", false},
                 {"c:/x", "c", false},       {"a b:c", "a b", false},   {"//h/x", "", true},
                 {"x-y.z+1:q", "x-y.z+1", true}, {"1x:q", "1x", false}, {"ab:", "ab", true}};
  for (const auto& s : schemes) {
    EXPECT_EQ(LinkScheme(s.text), s.scheme) << s.text;
    EXPECT_EQ(IsOutsideAddress(s.text), s.outside) << s.text;
  }

  const std::string root = "C:/site";
  const std::string domain = "http://www.x.org/";
  const struct {
    const char* path;
    const char* key;
    bool prefix;
    bool matches;
  } cases[] = {
      {"C:\\site\\a.htm", "C:/site/a.htm", false, true},
      {"C:\\Site\\A.htm", "c:/site/a.htm", false, false},
      {"C:/site/A.htm", "C:/site/a.htm", true, false},
      {"C:/site/a.htm", "C:/site/a.html", true, true},
      {"C:/site/a.htm", "C:/site/a.htm#top", true, true},
      {"C:/site/a.htm", "C:/site/a.htm#top", false, false},
      {"C:/site/sub", "C:/site/subway.htm", true, true},
      {"/C:/site/sub/", "C:/site/sub", false, true},
      {"http://o.org/a", "C:/site/a", false, false},
      {"C:/site/a.htm", "http://www.x.org/a.htm", false, true},
      {"C:/site/a", "http://www.x.org/a.htm", true, true},
      {"C:/site/a.htm", "https://www.x.org/a.htm", false, false},
      {"http://o.org/a", "http://o.org/a/b", true, true},
      {"https://o.org/a", "https://o.org/A", false, false},  // only the exact spelling is the same
  };
  for (const auto& c : cases)
    EXPECT_EQ(LinkMatches(c.path, c.key, root, domain, c.prefix), c.matches) << c.path << " " << c.key;
}

}  // namespace

TEST(TargetSpellings, NumbersEverySpellingInsideAndOutsideTheStartFolderApart) {
  TargetSpellings targets("/site//");
  const std::vector<std::string> spellings = {"/site/a.htm", "a.htm", "/sitex/a.htm", "/elsewhere/site/a.htm",
                                              "/site/sub/", "/site", "/site/", "https://x.org/site/a.htm"};
  std::vector<size_t> numbers;
  for (const std::string& spelling : spellings) numbers.push_back(targets.Number(spelling));
  for (size_t i = 0; i < spellings.size(); ++i) {
    EXPECT_EQ(numbers[i], i) << spellings[i];
    EXPECT_EQ(targets.Number(spellings[i]), i) << spellings[i];
    EXPECT_EQ(targets.Text(i), spellings[i]);
    std::string appended = "x";
    targets.AppendText(i, appended);
    EXPECT_EQ(appended, "x" + spellings[i]);
  }
}

// A page's links numbered in turn get the numbers their spellings have: in runs of one
// target spelled at different places, and after an empty one.
TEST(PageTargetNumbers, GivesEachLinkItsTargetsNumber) {
  TargetSpellings targets("/site");
  targets.Number("/site/first.htm");
  PageTargetNumbers numbers(targets);
  const std::string_view all = "/site/a.htm/site/a.htm/site/b.htm";
  EXPECT_EQ(numbers.Number(""), targets.Number(""));
  EXPECT_EQ(numbers.Number(all.substr(0, 11)), targets.Number("/site/a.htm"));
  EXPECT_EQ(numbers.Number(all.substr(11, 11)), targets.Number("/site/a.htm"));
  EXPECT_EQ(numbers.Number(all.substr(22, 11)), targets.Number("/site/b.htm"));
  EXPECT_EQ(numbers.Number(all.substr(22, 11)), targets.Number("/site/b.htm"));
  EXPECT_EQ(numbers.Number(""), targets.Number(""));
  EXPECT_EQ(numbers.Number("/site/first.htm"), 0u);
}

namespace {

// Plain hrefs are joined on a short path, the others take the full steps: a resolver that
// knows an own domain takes the full steps for every href, and must find what one without a
// domain finds for an href of no domain, on pages with and without a base.
TEST(LinkResolver, JoinsPlainHrefsAsTheFullStepsDo) {
  const char* hrefs[] = {"p.htm", "a/b.htm", "a/b.htm#x", "a/b.htm?q=1#y", "#x", "", "?q", "/x.htm", "/a/b",
                         "/", "//x", "a//b", "./a", "a/./b", "a/../b", "..", "../../../x", ".htaccess", "a/.b",
                         "a/", "a%20b", "a\\b", " a.htm", "a.htm ", "a\tb", "a\nb", "a:b", "x#a\tb", "x#a\\b",
                         "x#y ", "\xc3\xa9.htm", "http:x.htm", "mailto:x", "p.htm#", "a/b/c/d.html"};
  const char* bases[] = {nullptr, "../up/", "/sub2/b.htm", "http://off.example/x/", "//", "q/"};
  for (const char* root : {"/site/", "/site", "/"}) {
    for (const char* page : {"/site/sub/p.htm", "/site/p.htm", "/site/a//b/p.htm", "/elsewhere/p.htm", "/p.htm"}) {
      for (const char* base : bases) {
        const RunContext withoutDomain{root, ""}, withDomain{root, "http://own.example/"};
        LinkResolver plain(page, withoutDomain);
        LinkResolver full(page, withDomain);
        if (base != nullptr) {
          plain.SetBase(base);
          full.SetBase(base);
        }
        for (const char* href : hrefs) {
          SCOPED_TRACE(std::string(root) + " " + page + " " + (base ? base : "-") + " [" + href + "]");
          const ResolvedLink expected = full.Resolve(href);
          const ResolvedLink found = plain.Resolve(href);
          EXPECT_EQ(found.found, expected.found);
          EXPECT_EQ(found.target, expected.target);
          EXPECT_EQ(found.follow, expected.follow);
          EXPECT_EQ(found.beyondRoot, expected.beyondRoot);
        }
      }
    }
  }
}

}  // namespace
