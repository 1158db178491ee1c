// The check and the counts read a site as a browser reads its pages: every case on a line
// of its own, the findings and counts exact.
#include <gtest/gtest.h>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

std::string Utf16Le(const std::string& ascii) {
  std::string text = "\xFF\xFE";
  for (char c : ascii) text.append(1, c).append(1, '\0');
  return text;
}

class PageReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({
        {"site/index.html",
         "<html><head><title>Home</title></head><body>\n"
         "<a href=\"caf&#233;.html\">1</a> <a href=\"caf&eacute;.html\">2</a> <a href=\"&#x70;1.html\">3</a>\n"
         "<a href=\"p1.html#x&#49;\">4</a> <a href=\"p1.html#:~:text=word\">5</a> <a href=\"p1.html#\">6</a>\n"
         "<textarea><a href=\"in-textarea.html\">x</a></textarea>\n"
         "<xmp><a href=\"in-xmp.html\"></xmp> <iframe><a href=\"in-iframe.html\"></iframe>\n"
         "<noembed><a href=\"in-noembed.html\"></noembed> <noframes><a href=\"in-noframes.html\"></noframes>\n"
         "<noscript><a href=\"noscript.html\">7</a></noscript> <a href=\"p1.html\" href=\"second.html\">8</a>\n"
         "<a href=\"//example.org/p2.html\">9</a> <a href=\"http://example.org\">10</a>\n"
         "<a href=\"http://example.org:80/p2.html\">11</a> <a href=\"HTTP://EXAMPLE.ORG/gone.html\">12</a>\n"
         "<a href=\"http://example.org:8080/p2.html\">13</a> <a href=\"http://me@example.org/p2.html\">14</a>\n"
         "<img src=\"gone.png\"> <img srcset=\"a.png 1x, gone-2x.png 2x\"> <script src=\"gone.js\"></script>\n"
         "<link rel=\"stylesheet\" href=\"gone.css\"> <link rel=\"icon\" href=\"gone.ico\">\n"
         "<video poster=\"gone-poster.png\" src=\"gone.mp4\"></video> <input type=\"image\" src=\"gone-button.png\">\n"
         "<map><area href=\"gone-area.html\"></map> <a href=\"PAGE.HTML\">15</a> <a href=\"page.html\">16</a>\n"
         "<a href=\"sub/p.html\">17</a> <a href=\"utf16.html\">18</a>\n"
         "<img src=\"../beside-site.png\"> <img src=\"../gone-beside.png\">\n"},
        {"beside-site.png", ""},
        {"site/caf\xC3\xA9.html", ""},
        {"site/p1.html", "<h1 id=\"x&#49;\">x</h1>"},
        {"site/p2.html", ""},
        {"site/a.png", ""},
        {"site/page.html", ""},
        {"site/noscript.html", ""},
        {"site/sub/p.html", "<base href=\"../\"><a href=\"index.html\">home</a> <a href=\"from-base.html\">b</a>"},
        {"site/from-base.html", ""},
        {"site/utf16.html", Utf16Le("<title>Wide</title><a href=\"from-utf16.html\">w</a>")},
        {"site/from-utf16.html", ""},
    });
    profile.domain = "http://example.org/";
    profile.usePageRank = "1";
    profile.startFolder = dir / "site";
    dir.Write("p.folioscribe_options", profile.Text());
  }
  TempDir dir;
  StoredProfile profile;
};

TEST_F(PageReadingTest, FindsExactlyWhatABrowserMisses) {
  const ProgramOutput run = RunFolioscribe({"--check", "--check-anchors", "-profile", dir / "p"});
  // A source above the start folder is looked for where a browser opening the page finds it.
  EXPECT_EQ(run.out,
            "index.html:9: broken link \"HTTP://EXAMPLE.ORG/gone.html\" (gone.html does not exist)\n"
            "index.html:11: broken image \"gone.png\" (gone.png does not exist)\n"
            "index.html:11: broken image \"gone-2x.png\" (gone-2x.png does not exist)\n"
            "index.html:11: broken script \"gone.js\" (gone.js does not exist)\n"
            "index.html:12: broken stylesheet \"gone.css\" (gone.css does not exist)\n"
            "index.html:12: broken resource \"gone.ico\" (gone.ico does not exist)\n"
            "index.html:13: broken resource \"gone.mp4\" (gone.mp4 does not exist)\n"
            "index.html:13: broken image \"gone-poster.png\" (gone-poster.png does not exist)\n"
            "index.html:13: broken image \"gone-button.png\" (gone-button.png does not exist)\n"
            "index.html:14: broken link \"gone-area.html\" (gone-area.html does not exist)\n"
            "index.html:14: broken link \"PAGE.HTML\" (PAGE.HTML does not exist)\n"
            "index.html:16: broken image \"../gone-beside.png\" (" + dir / "gone-beside.png does not exist)\n");
  // Missing sources count with the broken links in the summary.
  EXPECT_NE(run.err.find(": 12 broken links, 0 missing anchors, 0 orphans in "), std::string::npos) << run.err;
  const ProgramOutput json = RunFolioscribe({"--check", "--format=json", "-profile", dir / "p"});
  EXPECT_NE(json.out.find("{\"kind\": \"broken stylesheet\", \"page\": \"index.html\", \"line\": 12, "
                          "\"href\": \"gone.css\", \"target\": \"gone.css\"}\n"),
            std::string::npos)
      << json.out;
}

// Only hyperlinks count, each under the target a browser reaches, in its exact spelling; the
// site root stands for "http://example.org" and for "index.html" read against the base "../".
TEST_F(PageReadingTest, CountsHyperlinksOnly) {
  const ProgramOutput run = RunFolioscribe({"-profile", dir / "p", "-justdoit", "-report"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string site = dir / "site";
  EXPECT_EQ(run.out, site + "/p1.html [5]\n" + site + "/caf\xC3\xA9.html [2]\n" + site + "/p2.html [2]\n" + site +
                         " [2]\n" + site + "/noscript.html [1]\n" + site +
                         "/gone.html [1]\nhttp://example.org:8080/p2.html [1]\nhttp://me@example.org/p2.html [1]\n" +
                         site + "/gone-area.html [1]\n" + site + "/PAGE.HTML [1]\n" + site + "/page.html [1]\n" + site +
                         "/sub/p.html [1]\n" + site + "/utf16.html [1]\n" + site + "/from-base.html [1]\n" + site +
                         "/from-utf16.html [1]\n");
}

}  // namespace
