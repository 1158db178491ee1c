#include <gtest/gtest.h>

#include <string>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

// What a run tells its user besides the map: the report, the grouped findings, progress.
class RunFeedbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({
        {"site/index.html",
         "<a href=\"a.html\">a</a>\n<a href=\"gone.html\">1</a>\n<a href=\"gone.html\">2</a>\n"
         "<a href=\"old/\">old</a>\n"},
        {"site/a.html", "<a href=\"gone.html\">3</a>\n<a href=\"index.html#nowhere\">x</a>\n"},
    });
    StoredProfile profile;
    profile.startFolder = dir / "site";
    profile.outputName = dir / "map.html";
    dir.Write("off.folioscribe_options", profile.Text());
  }
  ProgramOutput Run(std::vector<std::string> flags, const RunOptions& options = {}) {
    flags.insert(flags.begin(), {"-p", dir / "off"});
    return RunFolioscribe(flags, options);
  }
  TempDir dir;
};

TEST_F(RunFeedbackTest, ReportSaysWhenTheCounterIsOffAndCountLinksTurnsItOn) {
  const ProgramOutput off = Run({"-justdoit", "--report", "-q"});
  EXPECT_EQ(off.status, 0);
  EXPECT_EQ(off.out, "");
  EXPECT_EQ(off.err, "folioscribe: --report: the link counter is off in this profile, so nothing "
                     "was counted; add --count-links\n");
  const ProgramOutput on = Run({"-justdoit", "--report", "-q", "--count-links"});
  EXPECT_EQ(on.status, 0);
  EXPECT_EQ(on.err, "");
  EXPECT_NE(on.out.find(dir / "site/gone.html [3]\n"), std::string::npos) << on.out;
  // Only for the run: the profile stays as it was.
  EXPECT_NE(ReadFileForTest(dir / "off.folioscribe_options").find("bUsePageRank=0"), std::string::npos);
}

TEST_F(RunFeedbackTest, SummaryGroupsTheFindingsByTargetMostLinkedFirst) {
  const std::string groups =
      "gone.html: missing, linked 3 times from 2 pages (first: a.html:1)\n"
      "index.html#nowhere: no such anchor, linked 1 time from 1 page (first: a.html:2)\n"
      "old: missing, linked 1 time from 1 page (first: index.html:4)\n";
  const ProgramOutput summary = Run({"--check", "--check-anchors", "--format=summary"});
  EXPECT_EQ(summary.status, 1);
  EXPECT_EQ(summary.out, groups);
  EXPECT_EQ(summary.err.rfind("folioscribe: 2 pages read", 0), 0u) << summary.err;
  // The text lines stay on standard output, and the groups end what a person reads.
  const ProgramOutput text = Run({"--check", "--check-anchors"});
  EXPECT_EQ(text.out.substr(0, text.out.find('\n') + 1),
            "a.html:1: broken link \"gone.html\" (gone.html does not exist)\n");
  EXPECT_EQ(text.err.rfind(groups, 0), 0u) << text.err;
  // JSON gains nothing; quiet leaves the groups out too.
  const ProgramOutput json = Run({"--check", "--format=json", "-q"});
  EXPECT_EQ(json.err, "");
  EXPECT_EQ(json.out.find("linked"), std::string::npos);
  EXPECT_EQ(Run({"--check", "-q"}).err, "");
  // The check's options without --check are a mistake, not a map run.
  for (const char* alone : {"--check-anchors", "--format=summary"}) {
    const ProgramOutput run = Run({"-justdoit", alone});
    EXPECT_EQ(run.status, 2) << alone;
    EXPECT_NE(run.err.find("belongs to --check"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileForTest(dir / "map.html"), "<missing>") << alone;
  }
}

TEST_F(RunFeedbackTest, ProgressLineOnlyOnATerminal) {
  RunOptions terminal;
  terminal.errOnTerminal = true;
  terminal.environment = {{"FOLIOSCRIBE_PROGRESS_DELAY_MS", "0"}};
  const ProgramOutput map = Run({"-justdoit", "--count-links"}, terminal);
  EXPECT_EQ(map.status, 0);
  const std::string progress = "\r\x1b[Kfolioscribe: ";
  EXPECT_NE(map.err.find(progress), std::string::npos) << map.err;
  // The link counter goes first: the first page it parses or crawls is the first step shown.
  const std::string nothingWritten = progress + "0 folders, 0 items, ";
  const size_t first = map.err.find(nothingWritten);
  ASSERT_NE(first, std::string::npos) << map.err;
  const std::string step = map.err.substr(first + nothingWritten.size(), 32);
  EXPECT_TRUE(step.starts_with("1 page parsed, 0 pages crawled, ") ||
              step.starts_with("0 pages parsed, 1 page crawled, "))
      << map.err;
  // The line is cleared before the next message, which starts at the left edge.
  EXPECT_NE(map.err.find(" pages/s\r\x1b[Kfolioscribe: wrote "), std::string::npos) << map.err;
  const ProgramOutput check = Run({"--check"}, terminal);
  EXPECT_NE(check.err.find(progress), std::string::npos) << check.err;

  terminal.environment = {{"FOLIOSCRIBE_PROGRESS_DELAY_MS", "0"}};
  const ProgramOutput quiet = Run({"-justdoit", "-q"}, terminal);
  EXPECT_EQ(quiet.err, "");
  RunOptions pipe;
  pipe.environment = terminal.environment;
  const ProgramOutput piped = Run({"-justdoit"}, pipe);
  EXPECT_EQ(piped.err, "folioscribe: wrote " + dir / "map.html" + "\n");
  // Without the test's setting a short run stays silent on a terminal too.
  terminal.environment.clear();
  EXPECT_EQ(Run({"-justdoit"}, terminal).err.find("pages crawled"), std::string::npos);
}

}  // namespace
