#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <regex>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

// A fixed generator, so every run builds the same site.
struct Random {
  uint64_t state;
  uint32_t Next(uint32_t bound) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33) % bound;
  }
};

// Titles in the character sets pages declare, bytes as such a page holds them.
const char* const kTitleHeads[] = {
    "<meta charset=\"utf-8\"><title>Caf\xc3\xa9 %d</title>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"><title>Caf\xe9 %d</title>",
    "<meta charset=\"windows-1252\"><title>\x93Quoted\x94 %d</title>",
    "<meta charset=\"shift_jis\"><title>\x83\x65\x83\x58\x83\x67 %d</title>",
    "<title>Plain &amp; simple %d</title>",
    "<p>no title %d</p>",
};

// A site of `folders` folders of `pages` pages whose links take in what the crawl and the
// check tell apart: folders, fragments found and missing, queries, other letter cases,
// broken links, outside addresses, pages too large to read, and pages nothing links to.
void BuildSite(const TempDir& dir, uint64_t seed, int folders, int pages) {
  Random random{seed};
  auto folder = [](uint32_t f) { return f == 0 ? std::string() : "d" + std::to_string(f) + "/"; };
  for (int f = 0; f < folders; ++f) {
    for (int p = 0; p < pages; ++p) {
      std::string page(kTitleHeads[random.Next(std::size(kTitleHeads))]);
      page.replace(page.find("%d"), 2, std::to_string(p));
      page += "\n<h1 id=\"top" + std::to_string(p) + "\">x</h1>\n";
      for (uint32_t n = 3 + random.Next(8); n > 0; --n) {
        const std::string other = folder(random.Next(static_cast<uint32_t>(folders)));
        const std::string name = "p" + std::to_string(random.Next(static_cast<uint32_t>(pages))) + ".htm";
        const char* const hrefs[] = {"", "../", "/", "/"};
        std::string href;
        switch (random.Next(10)) {
          case 0: href = "/" + other; break;
          case 1: href = "/" + other + name + "#top" + std::to_string(random.Next(3)); break;
          case 2: href = "/" + other + "missing" + std::to_string(random.Next(3)) + ".htm"; break;
          case 3: href = "/" + other + "P" + name.substr(1) + "?q=1"; break;
          case 4: href = random.Next(2) ? "https://example.org/" + name : "mailto:me@example.org"; break;
          default: href = hrefs[random.Next(4)] + (f > 0 || random.Next(2) ? other : "") + name;
        }
        page += "<p><a class=x href=\"" + href + "\">link</a>\n";
      }
      if (random.Next(15) == 0) page += std::string(3000, '.');  // over the profile's bound
      dir.Write("site/" + folder(static_cast<uint32_t>(f)) + "p" + std::to_string(p) + ".htm", page);
    }
    dir.Write("site/" + folder(static_cast<uint32_t>(f)) + "index.htm",
              "<title>Index</title><a href=\"p0.htm\">0</a> <a href=\"p1.htm#top1\">1</a>"
              "<a href=\"/" + folder(static_cast<uint32_t>(f + 1) % static_cast<uint32_t>(folders)) + "\">next</a>");
  }
  dir.Write("site/lonely.htm", "<title>Nobody links here</title><a href=\"p0.htm#none\">x</a>");
}

// What one run printed and wrote, and its log without times.
struct RunRecord {
  ProgramOutput output;
  std::string map;
  std::string log;
};

// Runs the program under a copy of its own in a folder of its own, so its log is its own too.
class JobsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(FOLIOSCRIBE_EXE, dir / "folioscribe");
    StoredProfile profile;
    profile.usePageRank = "1";
    profile.templateFile = "&lt;li&gt;%fLinkCount% %AutoHrefText%&lt;/li&gt;";
    dir.Write("p.folioscribe_options", profile.Text() + "nMaxPageBytes=2500\r\n");
  }

  RunRecord Run(std::vector<std::string> args, const std::string& jobs) {
    args.insert(args.begin(), dir / "site");
    args.push_back("-j");
    args.push_back(jobs);
    RunOptions options;
    options.program = dir / "folioscribe";
    options.environment = {{"XDG_STATE_HOME", dir / "state"}, {"XDG_CONFIG_HOME", dir / "config"}};
    RunRecord record{RunFolioscribe(args, options), ReadFileForTest(dir / "map.html"), ""};
    std::filesystem::remove(dir / "map.html");
    // Each line's time of day, and how long a scope took, differ from run to run.
    static const std::regex kTimes(R"(\(\d+ \w+, [\d:]+,|\[[\d.]+ ms\])");
    record.log = std::regex_replace(ReadFileForTest(dir / "state/folioscribe/logs/folioscribe.MainThread.log"),
                                    kTimes, "");
    return record;
  }

  // Every output of a map run and of the check is the same with four threads as with one.
  void ExpectSameWithFourThreads() {
    const std::vector<std::vector<std::string>> runs = {
        {"-profile", dir / "p", "-justdoit", "-report", "-o", dir / "map.html"},
        {"--check", "--check-anchors"},
        {"--check", "--check-anchors", "--format=json"},
    };
    for (const auto& args : runs) {
      const RunRecord one = Run(args, "1");
      const RunRecord four = Run(args, "4");
      EXPECT_EQ(four.output.status, one.output.status) << args[0];
      EXPECT_EQ(four.output.out, one.output.out) << args[0];
      EXPECT_EQ(four.output.err.substr(0, four.output.err.rfind(" in ")),
                one.output.err.substr(0, one.output.err.rfind(" in ")))  // the check's time
          << args[0];
      EXPECT_EQ(four.map, one.map) << args[0];
      EXPECT_EQ(four.log, one.log) << args[0];
      EXPECT_GT(one.log.size(), 1000u) << args[0];
    }
  }

  TempDir dir;
};

}  // namespace

TEST_F(JobsTest, ManyThreadsMapAndCheckAWideSiteAsOneDoes) {
  BuildSite(dir, 1, 8, 30);
  ExpectSameWithFourThreads();
  // The site holds what the comparison is about.
  const RunRecord check = Run({"--check", "--check-anchors"}, "4");
  for (const char* finding : {"broken link", "missing anchor", "orphan: lonely.htm"})
    EXPECT_NE(check.output.out.find(finding), std::string::npos) << finding;
  const RunRecord map = Run({"-profile", dir / "p", "-justdoit", "-o", dir / "map.html"}, "4");
  for (const char* title : {"Caf\xc3\xa9", "\xe2\x80\x9cQuoted\xe2\x80\x9d", "\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88"})
    EXPECT_NE(map.map.find(title), std::string::npos) << title;
  EXPECT_NE(map.log.find("Not read, larger than nMaxPageBytes=2500"), std::string::npos);
  // Every page of the site was parsed, crawled or not: 8 folders of 30 pages and an
  // index, and the lonely page.
  const RunRecord timed = Run({"-profile", dir / "p", "-justdoit", "-o", dir / "map.html", "--timings"}, "2");
  EXPECT_NE(timed.output.err.find("folioscribe: timings: parsed 249 pages in "), std::string::npos)
      << timed.output.err;
}

TEST_F(JobsTest, ManyThreadsMapAndCheckADeepSiteAsOneDoes) {
  BuildSite(dir, 7, 40, 5);
  ExpectSameWithFourThreads();
}

TEST_F(JobsTest, RefusesAJobCountThatIsNoNumberOfThreads) {
  for (const char* jobs : {"0", "-2", "x", "3x", "1000"}) {
    const ProgramOutput run = RunFolioscribe({dir.Path(), "--dry-run", "--jobs=" + std::string(jobs)});
    EXPECT_EQ(run.status, 2) << jobs;
    EXPECT_NE(run.err.find("--jobs takes a number of threads from 1 to 256, not \"" + std::string(jobs) + "\""),
              std::string::npos)
        << run.err;
  }
}
