#include <gtest/gtest.h>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

class FailuresSaidTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({{"site/index.html", "<a href=\"a.html\">a</a>"}, {"site/a.html", ""}});
    StoredProfile profile;
    profile.usePageRank = "1";
    dir.Write("p.folioscribe_options", profile.Text());
  }
  TempDir dir;
};

// Standard output on a full disk, and on a pipe whose reader went away.
const std::vector<std::string> kFullDisk{"sh", "-c", "exec \"$0\" \"$@\" >/dev/full"};
const std::vector<std::string> kClosedPipe{
    "perl", "-e", "pipe(R, W); close R; open(STDOUT, '>&', \\*W) or die; exec {$ARGV[0]} @ARGV"};

}  // namespace

TEST_F(FailuresSaidTest, AStandardOutputThatCannotBeWrittenFailsTheRunSayingWhy) {
  const std::vector<std::string> commands[] = {
      {dir / "site", "-profile", dir / "p", "--dry-run"},
      {"--list-profiles"},
      {dir / "site", "-profile", dir / "p", "-justdoit", "--report", "-o", dir / "map.html"},
      {dir / "site", "-profile", dir / "p", "-justdoit", "-o", "-"},
  };
  const struct {
    const std::vector<std::string>& wrapper;
    std::string reason;
  } outputs[] = {{kFullDisk, "No space left on device"}, {kClosedPipe, "Broken pipe"}};
  for (const auto& output : outputs) {
    for (const std::vector<std::string>& args : commands) {
      RunOptions options;
      options.wrapper = output.wrapper;
      const ProgramOutput run = RunFolioscribe(args, options);
      EXPECT_EQ(run.status, 1) << args.back() << " " << output.reason;
      EXPECT_TRUE(run.err.ends_with("folioscribe: couldn't write to standard output: " +
                                    output.reason + "\n"))
          << run.err;
    }
  }
}

TEST_F(FailuresSaidTest, AFileThatIsNoProfileIsRefusedAndNothingIsWritten) {
  const std::string output = dir.Write("site/sitemap.html", "the last good map");
  const std::string texts[] = {
      "hello world\n",
      std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18),
      "sOutPutFileName=map.html\r\n[GENERAL]\r\nnoKey=1\r\n",
      "[MORE_OPTIONS]\r\nsDomain=https://x.org/\r\n",
  };
  for (const std::string& text : texts) {
    const std::string path = dir.Write("bad.folioscribe_options", text);
    const ProgramOutput run = RunFolioscribe({dir / "site", "-profile", path, "-justdoit"});
    EXPECT_EQ(run.status, 2) << text;
    EXPECT_EQ(run.err, "folioscribe: " + path + " is not a profile\n");
    EXPECT_EQ(ReadFileForTest(output), "the last good map");
  }
}
