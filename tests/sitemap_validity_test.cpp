#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "ProgramRunner.h"
#include "sitemap/MacroFilters.h"
#include "sitemap/Macros.h"
#include "tests/support/NeededTool.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kEacute = "\xC3\xA9";

// A site whose names and titles break naive escaping, with an output folder beside it.
class BundledProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({
        {"site/index.html", "<meta charset=\"utf-8\"><title>Caf\xC3\xA9 &amp; Bar</title>"},
        {"site/a&b.html", "<title>A &lt; B &amp; C</title>"},
        {"site/q\"uote's <tag>.html", "<title>1 < 2</title>"},
        {"site/100% #1?.html",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
         "<title>Gr\xFC\xDF"
         "e</title>"},
        {"site/caf\xE9.html", "<title>\x93quoted\x94 caf\xE9</title>"},
        {"site/\xC3\xBC"
         "ber.html",
         "<title>&eacute;t&eacute; &#x263A;</title>"},
        {"site/hidden page.html",
         "<head><meta name=\"robots\" content=\"NOINDEX, follow\"><title>Hidden</title></head>"},
        {"site/docs/guide.html", "<title>Guide</title>"},
        {"site/news/index.html", "<title>News</title>"},
        {"site/img/a b.png", "png"},
        {"maps/", ""},
    });
  }

  // Runs the bundled profile `name` over the site (or `start`), writing `output` into the
  // sibling folder.
  std::string Run(const std::string& name, const std::string& output, std::string start = "") {
    if (start.empty()) start = dir / "site";
    std::ifstream in(std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/profiles/" + name +
                     ".folioscribe_options");
    std::stringstream profile;
    profile << in.rdbuf();
    const std::string text = std::regex_replace(
        profile.str(), std::regex("sOutPutFileName=[^\r\n]*"), "sOutPutFileName=" + Map(output));
    dir.Write(name + ".folioscribe_options", text);
    const ProgramOutput run = RunFolioscribe({start, "-profile", dir / name, "-justdoit"});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadFileForTest(Map(output));
  }
  std::string Map(const std::string& output) const { return dir / ("maps/" + output); }

  // Runs `command` through the shell; its exit status, and what it printed into `printed`.
  static int Shell(const std::string& command, std::string* printed = nullptr) {
    const TempDir scratch;
    const int status = std::system((command + " >" + scratch / "out" + " 2>&1").c_str());
    if (printed) *printed = ReadFileForTest(scratch / "out");
    return status;
  }

  TempDir dir;
};

std::string PercentDecoded(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::string HtmlDecoded(std::string text) {
  for (const auto& [entity, c] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}})
    text = std::regex_replace(text, std::regex(entity), c);
  return text;
}

// Every href and src of an HTML map, as a browser reads it, names an existing file.
void ExpectLinksResolve(const std::string& map, const std::string& folder) {
  const std::regex link("(href|src)=\"([^\"]*)\"");
  int links = 0;
  for (std::sregex_iterator it(map.begin(), map.end(), link), end; it != end; ++it) {
    const std::string target = PercentDecoded(HtmlDecoded((*it)[2]));
    if (target.starts_with("http")) continue;
    EXPECT_TRUE(std::filesystem::exists(folder + "/" + target)) << (*it)[0] << " -> " << target;
    ++links;
  }
  EXPECT_GE(links, 9);
}

}  // namespace

TEST_F(BundledProfileTest, HtmlMapsLinkEveryItemFromASiblingFolderAndShowItsTitle) {
  const std::string sample = Run("sample", "sample.html");
  ExpectLinksResolve(sample, dir / "maps");
  for (const std::string& title :
       std::vector<std::string>{"Caf" + kEacute + " &amp; Bar", "A &lt; B &amp; C",
                                "Gr\xC3\xBC\xC3\x9F"
                                "e",
                                "\xE2\x80\x9Cquoted\xE2\x80\x9D caf" + kEacute,
                                kEacute + "t" + kEacute + " \xE2\x98\xBA", ">1 &lt; 2<", "News", "Guide"})
    EXPECT_NE(sample.find(title), std::string::npos) << title;
  const std::string table = Run("table", "table.html");
  ExpectLinksResolve(table, dir / "maps");
  EXPECT_NE(table.find("q&quot;uote&#39;s &lt;tag&gt;.html</a>"), std::string::npos);
}

TEST_F(BundledProfileTest, XmlSitemapIsWellFormedAndListsIndexablePagesOnly) {
  const std::string map = Run("xml-sitemap", "sitemap.xml");
  std::set<std::string> locations;
  const std::regex loc("<loc>([^<]*)</loc>");
  for (std::sregex_iterator it(map.begin(), map.end(), loc), end; it != end; ++it)
    locations.insert((*it)[1]);
  const std::string site = "https://www.example.org/";
  EXPECT_EQ(locations, (std::set<std::string>{
                           site, site + "100%25%20%231%3F.html", site + "a%26b.html",
                           site + "caf%E9.html", site + "docs/guide.html", site + "news/",
                           site + "q%22uote%27s%20%3Ctag%3E.html", site + "%C3%BCber.html"}));
  SKIP_WITHOUT_TOOL("xmllint");
  std::string complaints;
  EXPECT_EQ(Shell("xmllint --noout " + Map("sitemap.xml"), &complaints), 0) << complaints;
}

TEST_F(BundledProfileTest, JsonLinesParseAndCarryTheTitlesAsUnicode) {
  Run("jsonl", "pages.jsonl");
  SKIP_WITHOUT_TOOL("python3");
  std::string titles;
  ASSERT_EQ(Shell("PYTHONIOENCODING=utf-8 python3 -c 'import json,sys; [print(json.loads(l)"
                  "[\"title\"]) for l in open(sys.argv[1], encoding=\"utf-8\")]' " +
                      Map("pages.jsonl"),
                  &titles),
            0)
      << titles;
  std::multiset<std::string> lines;
  std::istringstream in(titles);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  EXPECT_EQ(lines, (std::multiset<std::string>{"Caf" + kEacute + " & Bar", "A < B & C", "1 < 2",
                                               "Gr\xC3\xBC\xC3\x9F"
                                               "e",
                                               "\xE2\x80\x9Cquoted\xE2\x80\x9D caf" + kEacute,
                                               kEacute + "t" + kEacute + " \xE2\x98\xBA", "Guide",
                                               "News"}));
}

// What a search engine's parser and an HTML validator say of the map at `path`: empty when
// they take it, else why not (or why they cannot tell).
std::string Verdict(const std::string& path) {
  const std::string source = FOLIOSCRIBE_SOURCE_DIR;
  std::string command;
  if (path.ends_with(".xml")) {
    const std::string schema = source + "/../shared/conformance/sitemaps/sitemap.xsd";
    if (!std::filesystem::exists(schema)) return "skip: no sitemap schema at " + schema;
    command = "xmllint --noout --schema " + schema + " '" + path + "'";
  } else {
    const std::string validator = source + "/build-tools/npm/node_modules/.bin/html-validate";
    if (!std::filesystem::exists(validator)) return "skip: html-validate is not installed (scripts/install-deps)";
    command = validator + " --config " + source + "/tests/html-validate.json '" + path + "'";
  }
  const TempDir scratch;
  if (std::system((command + " >" + scratch / "out" + " 2>&1").c_str()) == 0) return "";
  return ReadFileForTest(scratch / "out");
}

TEST_F(BundledProfileTest, MapsOfEveryBundledProfilePassTheirValidator) {
  const std::string python = "/usr/share/doc/python3.11/html";
  std::vector<std::string> starts{dir / "site", std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/site"};
  if (std::filesystem::exists(python)) starts.push_back(python);
  for (const std::string& start : starts) {
    for (const auto& [name, output] : {std::pair{"sample", "sample.html"}, {"table", "table.html"},
                                       {"xml-sitemap", "sitemap.xml"}}) {
      Run(name, output, start);
      const std::string verdict = Verdict(Map(output));
      if (verdict.starts_with("skip: ")) GTEST_SKIP() << verdict.substr(6);
      EXPECT_EQ(verdict, "") << name << " on " << start;
    }
  }
  if (!std::filesystem::exists(python)) GTEST_SKIP() << python << " is missing: scripts/install-deps python3.11-doc";
}

TEST(Manual, ListsEveryMacroAndFilterOfTheirTables) {
  const std::string readme = ReadFileForTest(std::string(FOLIOSCRIBE_SOURCE_DIR) + "/README.md");
  EXPECT_NE(readme.find(MacroManualRows()), std::string::npos) << MacroManualRows();
  EXPECT_NE(readme.find(MacroFilterManualRows()), std::string::npos) << MacroFilterManualRows();
}
