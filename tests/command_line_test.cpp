#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/NeededTool.h"
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
  const std::string profiles = ProgramFolderForTest() + "/Profiles";
  EXPECT_EQ(run.err, "folioscribe: Profile: " + profiles +
                         "/no-such-profile.folioscribe_options does not exist; looked in " +
                         profiles + "\n");
  // A name close to one that is there is suggested.
  const ProgramOutput typo = RunFolioscribe({"-p", "sampel", "-justdoit"});
  EXPECT_EQ(typo.status, 2);
  EXPECT_EQ(typo.err, "folioscribe: Profile: " + profiles + "/sampel.folioscribe_options does not "
                      "exist; looked in " + profiles + "; did you mean sample?\n");
}

TEST(CommandLine, UnknownOptionCannotStart) {
  TempDir dir;
  dir.Build({{"site/a.htm", ""}});
  dir.Write("p.folioscribe_options", StoredProfile().Text());
  // A mistyped "-profile" must not run with empty settings.
  const ProgramOutput run = RunFolioscribe({dir / "site", "-justdoit", "--porfile", dir / "p"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "folioscribe: unknown option --porfile; did you mean --profile?\n"
                     "Try 'folioscribe --help' for more information.\n");
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

namespace {

// A site of three pages in two folders and a profile "p" whose templates list names.
struct NamesSite {
  NamesSite() {
    dir.Build({{"site/a.htm", ""}, {"site/b.htm", ""}, {"site/docs/c.htm", ""}, {"work/", ""}});
    StoredProfile profile;
    profile.startFolder = dir / "site";
    profile.templateStart = "%domain%:";
    profile.templateFolder = "[%fName%]";
    profile.templateFile = "%fName%;";
    profile.templateLevelDown = profile.templateLevelUp = profile.templateEnd = "";
    dir.Write("p.folioscribe_options", profile.Text());
  }
  TempDir dir;
};


}  // namespace

TEST(CommandLine, OutputFromTheCurrentFolderOrToStandardOutput) {
  NamesSite site;
  RunOptions inWork;
  inWork.folder = site.dir / "work";
  const ProgramOutput toFile =
      RunFolioscribe({"-p", site.dir / "p", "-o", "map.html", "--domain=https://a.org", "-justdoit"}, inWork);
  EXPECT_EQ(toFile.status, 0);
  EXPECT_EQ(toFile.err, "folioscribe: wrote " + site.dir / "work/map.html" + "\n");
  const std::string map = "https://a.org:[site]a.htm;b.htm;[docs]c.htm;";
  EXPECT_EQ(ReadFileForTest(site.dir / "work/map.html"), map);

  const ProgramOutput toStdout =
      RunFolioscribe({"--profile=" + site.dir / "p", "--output=-", "/domain=https://a.org", "-justdoit"});
  EXPECT_EQ(toStdout.status, 0);
  EXPECT_EQ(toStdout.out, map);  // the map alone
  EXPECT_EQ(toStdout.err, "");
  EXPECT_EQ(ReadFileForTest(site.dir / "site/sitemap.html"), "<missing>");

  const ProgramOutput excluded = RunFolioscribe(
      {"-p", site.dir / "p", "-o", "-", "--exclude=b.htm", "/exclude", "docs/", "-justdoit"});
  EXPECT_EQ(excluded.out, ":[site]a.htm;");

  const ProgramOutput quiet = RunFolioscribe({"-q", "-p", site.dir / "p", "-justdoit"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(ReadFileForTest(site.dir / "site/sitemap.html"), ":[site]a.htm;b.htm;[docs]c.htm;");
}

TEST(CommandLine, DryRunCountsAndWritesNothing) {
  NamesSite site;
  const std::string old = site.dir.Write("work/old.html", "the last map");
  const ProgramOutput run = RunFolioscribe({"--dry-run", "-p", site.dir / "p", "-o", old});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "5 entries would go to " + old + "\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadFileForTest(old), "the last map");
  EXPECT_EQ(ReadFileForTest(site.dir / "site/sitemap.html"), "<missing>");
}

TEST(CommandLine, StartFolderMessagesNameIt) {
  TempDir dir;
  dir.Write("p.folioscribe_options", StoredProfile().Text());  // no start folder in it
  const ProgramOutput none = RunFolioscribe({"-p", dir / "p", "-justdoit"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "folioscribe: no start folder: give one on the command line or in the profile\n");
  const ProgramOutput missing = RunFolioscribe({dir / "nope", "-p", dir / "p", "-justdoit"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "folioscribe: " + dir / "nope" + " doesn't exist, or is not a folder\n");
  const ProgramOutput late = RunFolioscribe({"-justdoit", dir / "nope", "-p", dir / "p"});
  EXPECT_EQ(late.status, 2);
  EXPECT_EQ(late.err, "folioscribe: -justdoit took \"" + dir / "nope" +
                          "\" as its value; put the start folder first\n"
                          "Try 'folioscribe --help' for more information.\n");
}

TEST(CommandLine, ListProfilesSaysWhereEachLies) {
  const ProgramOutput run = RunFolioscribe({"--list-profiles"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(("\n" + run.out).find("\nsample       " + ProgramFolderForTest() +
                         "/Profiles/sample.folioscribe_options\n"),
            std::string::npos)
      << run.out;
}

TEST(CommandLine, TraceViewerPrintsTheLinesOfARunUntilInterrupted) {
  NamesSite site;
  RunOptions runtime;
  runtime.environment = {{"XDG_RUNTIME_DIR", site.dir.Path()}};
  StartedProgram viewer = StartFolioscribe({"--trace-viewer"}, runtime);
  const std::string socket = site.dir / "folioscribe-trace.sock";
  for (int i = 0; i < 500 && access(socket.c_str(), F_OK) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(RunFolioscribe({"-p", site.dir / "p", "-justdoit"}, runtime).status, 0);
  // A second viewer would steal the lines.
  const ProgramOutput second = RunFolioscribe({"--trace-viewer"}, runtime);
  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.err, "folioscribe: another trace viewer listens on " + socket + "\n");
  kill(viewer.pid, SIGINT);
  const ProgramOutput shown = WaitForFolioscribe(viewer);
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find("Entering: CFolioscribeApp::InitInstance()"), std::string::npos)
      << shown.out;
  EXPECT_EQ(shown.out.find('\r'), std::string::npos);
  EXPECT_EQ(access(socket.c_str(), F_OK), -1);  // removed on the way out
}

TEST(CommandLine, BatchRunWithADisplayNeverOpensAWindow) {
  SKIP_WITHOUT_TOOL("xvfb-run");
  NamesSite site;
  RunOptions display;
  display.wrapper = {"xvfb-run", "-a"};
  const ProgramOutput missing = RunFolioscribe({site.dir / "nope", "-p", site.dir / "p", "-justdoit"}, display);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("folioscribe: " + site.dir / "nope" + " doesn't exist"), std::string::npos)
      << missing.err;
  const ProgramOutput noProfile = RunFolioscribe({"-p", site.dir / "none", "-justdoit"}, display);
  EXPECT_EQ(noProfile.status, 2);
  EXPECT_NE(noProfile.err.find("does not exist"), std::string::npos) << noProfile.err;
  const ProgramOutput written = RunFolioscribe({"-p", site.dir / "p", "-justdoit"}, display);
  EXPECT_EQ(written.status, 0);
  EXPECT_EQ(ReadFileForTest(site.dir / "site/sitemap.html"), ":[site]a.htm;b.htm;[docs]c.htm;");
}
