#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

// The program copied into <prefix>/bin with installed samples beside, as an install lays
// it out, and a home of its own.
class InstalledLayoutTest : public ::testing::Test {
 protected:
  InstalledLayoutTest() {
    dir.Build({{"site/a.htm", ""}, {"prefix/bin/", ""}, {"home/", ""}});
    std::filesystem::copy_file(FOLIOSCRIBE_EXE, dir / "prefix/bin/folioscribe");
    WriteProfile("prefix/share/folioscribe/profiles/sample", "sample;");
    WriteProfile("prefix/share/folioscribe/profiles/shared", "installed;");
    options.program = dir / "prefix/bin/folioscribe";
    options.environment = {{"HOME", dir / "home"}, {"XDG_CONFIG_HOME", ""}, {"XDG_STATE_HOME", ""}};
  }
  // A profile mapping the site to one text, the template of every file.
  void WriteProfile(const std::string& name, const std::string& fileText) {
    StoredProfile profile;
    profile.startFolder = dir / "site";
    profile.templateStart = profile.templateFolder = profile.templateLevelDown = "";
    profile.templateLevelUp = profile.templateEnd = "";
    profile.templateFile = fileText;
    dir.Write(name + ".folioscribe_options", profile.Text());
  }
  std::string MapOf(const std::string& profile) {
    const ProgramOutput run = RunFolioscribe({"-p", profile, "-o", "-", "-justdoit"}, options);
    EXPECT_EQ(run.err, "") << profile;
    return run.out;
  }
  TempDir dir;
  RunOptions options;
};

}  // namespace

TEST_F(InstalledLayoutTest, UserProfilesFirstThenTheInstalledSamples) {
  WriteProfile("home/.config/folioscribe/profiles/shared", "mine;");
  const ProgramOutput list = RunFolioscribe({"--list-profiles"}, options);
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out, "shared  " + dir / "home/.config/folioscribe/profiles/shared.folioscribe_options\n" +
                          "sample  " + dir / "prefix/share/folioscribe/profiles/sample.folioscribe_options\n" +
                          "shared  " + dir / "prefix/share/folioscribe/profiles/shared.folioscribe_options\n");
  EXPECT_EQ(MapOf("shared"), "mine;");
  EXPECT_EQ(MapOf("sample"), "sample;");
  // The log lies where Linux keeps state, nothing beside the program.
  EXPECT_TRUE(std::filesystem::exists(dir / "home/.local/state/folioscribe/logs/folioscribe.MainThread.log"));
  EXPECT_FALSE(std::filesystem::exists(dir / "prefix/bin/LOGS"));

  // The XDG variables move both; a relative value is ignored, as the convention says.
  options.environment = {{"HOME", dir / "home"}, {"XDG_CONFIG_HOME", dir / "config"},
                         {"XDG_STATE_HOME", dir / "state"}};
  EXPECT_EQ(MapOf("shared"), "installed;");
  WriteProfile("config/folioscribe/profiles/shared", "configured;");
  EXPECT_EQ(MapOf("shared"), "configured;");
  EXPECT_TRUE(std::filesystem::exists(dir / "state/folioscribe/logs/folioscribe.MainThread.log"));
  options.environment = {{"HOME", dir / "home"}, {"XDG_CONFIG_HOME", "config"}};
  EXPECT_EQ(MapOf("shared"), "mine;");
}

TEST_F(InstalledLayoutTest, ProfilesBesideTheProgramMakeItPortable) {
  WriteProfile("prefix/bin/Profiles/own", "portable;");
  WriteProfile("home/.config/folioscribe/profiles/mine", "mine;");
  const ProgramOutput list = RunFolioscribe({"--list-profiles"}, options);
  EXPECT_EQ(list.out, "own  " + dir / "prefix/bin/Profiles/own.folioscribe_options\n");
  EXPECT_EQ(MapOf("own"), "portable;");
  const ProgramOutput sample = RunFolioscribe({"-p", "sample", "-justdoit"}, options);
  EXPECT_EQ(sample.status, 2);
  EXPECT_EQ(sample.err, "folioscribe: Profile: " + dir / "prefix/bin/Profiles/sample.folioscribe_options" +
                            " does not exist; looked in " + dir / "prefix/bin/Profiles" +
                            "\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "prefix/bin/LOGS/folioscribe.MainThread.log"));
}

TEST_F(InstalledLayoutTest, LogOptionChoosesWhatTheLogKeeps) {
  dir.Write("site/index.htm", "<a href=\"a.htm\">a</a><a href=\"gone.htm\">gone</a>");
  StoredProfile counting;
  counting.startFolder = dir / "site";
  counting.usePageRank = "1";
  const std::string profile = dir.Write("counting.folioscribe_options", counting.Text());
  options.environment = {{"HOME", dir / "home"}, {"XDG_CONFIG_HOME", ""}, {"XDG_STATE_HOME", dir / "state"}};
  const auto run = [&](const std::string& detail) {
    return RunFolioscribe({"-p", profile, "-o", "-", "--log=" + detail, "-justdoit"}, options).status;
  };
  const std::string logs = dir / "state/folioscribe/logs";

  EXPECT_EQ(run("off"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "state"));

  EXPECT_EQ(run("errors"), 0);
  const std::string errors = ReadFileForTest(logs + "/folioscribe.MainThread.log");
  EXPECT_EQ(errors.find("\r\n"), errors.size() - 2) << errors;  // one line
  EXPECT_NE(errors.find("Error:Couldn't open file:" + dir / "site/gone.htm"), std::string::npos) << errors;

  EXPECT_EQ(run("full"), 0);
  const std::string full = ReadFileForTest(logs + "/folioscribe.MainThread.log");
  for (const std::string line : {"Entering: ", "Starting with:", "found link:", "Error:Couldn't open file:"})
    EXPECT_NE(full.find(line), std::string::npos) << line;
  EXPECT_EQ(ReadFileForTest(logs + "/folioscribe.MainThread.prev.log"), errors);

  const ProgramOutput unknown = RunFolioscribe({"--log=some", "-justdoit"}, options);
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "folioscribe: --log takes off, errors or full, not \"some\"\n"
                         "Try 'folioscribe --help' for more information.\n");
}
