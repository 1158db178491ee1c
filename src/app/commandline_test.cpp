#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "profile/Profile.h"
#include "tests/support/TempDir.h"

TEST(ParseCommandLine, FlagsTakeTheNextPlainWord) {
  struct Case {
    std::vector<std::string> args;
    std::string justdoit, profile;
    std::vector<std::string> words;
  } cases[] = {
      {{"/justdoit", "/profile", "mysite"}, "TRUE", "mysite", {}},
      {{"-profile", "mysite", "--justdoit"}, "TRUE", "mysite", {}},
      {{"/JUSTDOIT", "/PROFILE", "mysite"}, "TRUE", "mysite", {}},
      {{"-justdoit", "/tmp"}, "/tmp", "", {}},  // the folder becomes the flag's value
      {{"/tmp", "-justdoit", "-profile"}, "TRUE", "TRUE", {"/tmp"}},
      {{"site", "other", "-profile", "a", "-profile", "b"}, "", "b", {"site", "other"}},
      {{"/home/me/site"}, "", "", {"/home/me/site"}},
  };
  for (const Case& c : cases) {
    const CCommandLineOptions options = ParseCommandLine(c.args);
    EXPECT_EQ(options.GetOptionValue("justdoit"), c.justdoit) << c.args[0];
    EXPECT_EQ(options.GetOptionValue("Profile"), c.profile) << c.args[0];
    EXPECT_EQ(options.PlainWords(), c.words) << c.args[0];
  }
}

TEST(ParseCommandLine, FindOptionTellsAbsentFromEmpty) {
  const CCommandLineOptions options = ParseCommandLine({"-Report", "-name", ""});
  std::string value = "stale";
  EXPECT_TRUE(options.FindOption("report", value));
  EXPECT_EQ(value, "TRUE");
  EXPECT_TRUE(options.FindOption("NAME", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(options.FindOption("help", value));
  EXPECT_EQ(value, "");
}

TEST(ReadStartupRequest, ResolvesTheProfileName) {
  TempDir dir;
  dir.Build({{"mine.folioscribe_options", ""}, {"my.cfg", ""}, {"site/", ""}});
  const std::string profiles = ProfilesFolder();
  struct Case {
    std::string name, path, missing;
  } cases[] = {
      {dir / "mine", dir / "mine.folioscribe_options", ""},
      {dir / "my.cfg", dir / "my.cfg", ""},
      {"nosuch", "", "Profile: " + profiles + "/nosuch.folioscribe_options does not exist"},
      {"my.cfg", "", "Profile: " + profiles + "/my.cfg does not exist"},
  };
  for (const Case& c : cases) {
    const StartupRequest request = ReadStartupRequest(ParseCommandLine({"-profile", c.name}));
    EXPECT_EQ(request.profilePath, c.path) << c.name;
    EXPECT_EQ(request.missingProfileMessage, c.missing) << c.name;
  }
}

TEST(ReadStartupRequest, StartFolderAndSwitches) {
  TempDir dir;
  dir.Build({{"site/", ""}, {"page.htm", ""}});
  struct Case {
    std::vector<std::string> args;
    std::string folder;
    bool justDoIt, report, help, version;
  } cases[] = {
      {{dir / "site", "-justdoit", "-report"}, dir / "site", true, true, false, false},
      {{dir / "page.htm", dir / "site"}, "", false, false, false, false},
      {{"-justdoit", dir / "site"}, "", false, false, false, false},
      {{"-justdoit", "true"}, "", false, false, false, false},
      {{"--help", "/version"}, "", false, false, true, true},
  };
  for (const Case& c : cases) {
    const StartupRequest request = ReadStartupRequest(ParseCommandLine(c.args));
    EXPECT_EQ(request.folder, c.folder) << c.args[0];
    EXPECT_EQ(request.justDoIt, c.justDoIt) << c.args[0];
    EXPECT_EQ(request.report, c.report) << c.args[0];
    EXPECT_EQ(request.help, c.help) << c.args[0];
    EXPECT_EQ(request.version, c.version) << c.args[0];
  }
}
