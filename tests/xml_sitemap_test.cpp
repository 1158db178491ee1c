#include <gtest/gtest.h>

#include <regex>

#include "ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace {

class XmlSitemapTest : public ::testing::Test {
 protected:
  ProgramOutput Map(std::vector<std::string> options) {
    std::vector<std::string> args{dir / "site", "-profile",
                                  std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/profiles/xml-sitemap",
                                  "-o", dir / "sitemap.xml"};
    args.insert(args.end(), options.begin(), options.end());
    return RunFolioscribe(args);
  }
  std::vector<std::string> Locations() const {
    const std::string map = ReadFileForTest(dir / "sitemap.xml");
    std::vector<std::string> locations;
    const std::regex loc("<loc>([^<]*)</loc>");
    for (std::sregex_iterator it(map.begin(), map.end(), loc), end; it != end; ++it)
      locations.push_back((*it)[1]);
    return locations;
  }
  TempDir dir;
};

}  // namespace

TEST_F(XmlSitemapTest, OneLocPerAddressAndTheDryRunCountsThem) {
  dir.Build({{"site/index.html", ""}, {"site/both/index.html", ""}, {"site/both/index.htm", ""},
             {"site/both/page.html", ""}, {"site/only/index.htm", ""}});
  const ProgramOutput run = Map({"-justdoit", "--domain=https://me.org/"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Locations(), (std::vector<std::string>{"https://me.org/", "https://me.org/both/",
                                                   "https://me.org/both/page.html",
                                                   "https://me.org/only/"}));
  const ProgramOutput dry = Map({"--dry-run", "--domain=https://me.org/"});
  EXPECT_EQ(dry.out, "4 entries would go to " + dir / "sitemap.xml" + "\n");
}

TEST_F(XmlSitemapTest, AddressesSearchEnginesRefuseAreWarnedOfAndFailStrictRuns) {
  std::string deep = "site";
  for (int i = 0; i < 9; ++i) deep += "/" + std::string(240, 'd');
  dir.Build({{"site/index.html", ""}, {deep + "/page.html", ""}});
  const std::string longPath = dir / deep + "/page.html";
  const struct {
    std::vector<std::string> options;
    std::string warning;
  } cases[] = {
      {{"--domain=me.org/"}, "the domain \"me.org/\" is no absolute http(s)://host/ address"},
      {{}, "the domain https://www.example.org/ is a placeholder"},
      {{"--domain=https://me.org/"}, "the address of " + longPath + " is 2193 characters long"},
  };
  for (const auto& c : cases) {
    for (const bool strict : {false, true}) {
      std::vector<std::string> options = c.options;
      options.push_back("-justdoit");
      if (strict) options.push_back("--strict");
      const ProgramOutput run = Map(options);
      EXPECT_EQ(run.status, strict ? 1 : 0) << run.err;
      EXPECT_NE(run.err.find("folioscribe: warning: " + c.warning), std::string::npos) << run.err;
      EXPECT_EQ(Locations().size(), 2u);  // written all the same
    }
  }
}
