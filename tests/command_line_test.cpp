#include <gtest/gtest.h>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

TEST(CommandLine, HelpAndVersion) {
  const std::vector<std::string> cases[] = {{"--help"}, {"-HELP", "-justdoit"}};
  for (const auto& args : cases) {
    const ProgramOutput run = RunFolioscribe(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: folioscribe", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
  }
  for (const char* flag : {"--version", "/version"}) {
    const ProgramOutput run = RunFolioscribe({flag});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Folioscribe 1.22\n") << flag;
  }
}

TEST(CommandLine, MissingProfileCannotStart) {
  const ProgramOutput run = RunFolioscribe({"-profile", "no-such-profile", "-justdoit"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "folioscribe: Profile: " + ProgramFolderForTest() +
                         "/Profiles/no-such-profile.folioscribe_options does not exist\n");
}

TEST(CommandLine, UnknownOptionCannotStart) {
  TempDir dir;
  dir.Build({{"site/a.htm", ""}});
  dir.Write("p.folioscribe_options", StoredProfile().Text());
  // A mistyped "-profile" must not run with empty settings.
  const ProgramOutput run = RunFolioscribe({dir / "site", "-justdoit", "--porfile", dir / "p"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("folioscribe: unknown option -porfile\n\nUsage: folioscribe", 0), 0u)
      << run.err;
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), "<missing>");
}

TEST(CommandLine, WithoutJustDoItTheDialogWouldBeNeeded) {
  TempDir dir;
  dir.Build({{"site/a.htm", ""}});
  dir.Write("p.folioscribe_options", StoredProfile().Text());
  // "-justdoit" followed by the folder takes the folder as its value: no batch run.
  const std::vector<std::string> cases[] = {
      {dir / "site", "-profile", dir / "p"},
      {"-profile", dir / "p", "-justdoit", dir / "site"},
  };
  for (const auto& args : cases) {
    const ProgramOutput run = RunFolioscribe(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("-justdoit"), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), "<missing>");
}

TEST(CommandLine, StartFolderWordReplacesTheProfiles) {
  TempDir dir;
  dir.Build({{"site/a.htm", ""}, {"other/b.htm", ""}});
  StoredProfile profile;
  profile.startFolder = dir / "other";
  profile.templateFile = "%fName%";
  dir.Write("p.folioscribe_options", profile.Text());
  EXPECT_EQ(RunFolioscribe({dir / "site", "-profile", dir / "p", "-justdoit"}).status, 0);
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), "<ul><li>site<ul>a.htm</ul></ul>");
  EXPECT_EQ(ReadFileForTest(dir / "other/sitemap.html"), "<missing>");
}

TEST(CommandLine, ReportListsTheLinkCountsAfterTheRun) {
  TempDir dir;
  dir.Build({{"site/index.htm", "<a href=\"b.htm\">1</a><a href=\"a.htm\">2</a><a href=\"b.htm\">3</a>"},
             {"site/a.htm", ""},
             {"site/b.htm", ""}});
  StoredProfile profile;
  profile.usePageRank = "1";
  profile.templateStart = profile.templateFolder = profile.templateLevelDown = "";
  profile.templateLevelUp = profile.templateEnd = "";
  profile.templateFile = "%fName%;";
  dir.Write("p.folioscribe_options", profile.Text());
  const ProgramOutput run =
      RunFolioscribe({dir / "site", "-profile", dir / "p", "-justdoit", "-report"});
  EXPECT_EQ(run.status, 0);
  // Standard output holds the report alone.
  EXPECT_EQ(run.out, dir / "site/b.htm [2]\n" + dir / "site/a.htm [1]\n");
  // An index page stands for its folder, so it gathers every count below it.
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), "index.htm;b.htm;a.htm;");
}
