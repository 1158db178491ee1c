#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "common/Utf8.h"
#include "tests/support/TempDir.h"

namespace {

// Names and hrefs that would print a fake finding, set the terminal's title and clear it.
const std::string kFakeLine = "o\norphan: fake.html";
const std::string kTerminal = "a\x1b]0;PWNED\x07\x1b[2J.html";
const std::string kLatin1 = "lat\xe9.html";

class ForgedNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({{"site/index.html", "<a href=\"gone\x1b[2J.html\">x</a><a href=\"a\\\\b.html\">y</a>"},
               {"site/" + kFakeLine, ""},
               {"site/" + kTerminal, "<a href=\"#no\x07where\">z</a>"},
               {"site/" + kLatin1, ""}});
  }

  // The bytes of `text` that a terminal would obey: controls but the line ends.
  static size_t RawControls(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return c != '\n' && (byte < 0x20 || byte == 0x7f);
    });
  }

  TempDir dir;
};

}  // namespace

TEST_F(ForgedNamesTest, CheckFindingsAreOneEscapedLineEach) {
  const ProgramOutput run = RunFolioscribe({dir / "site", "--check", "--strict"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(RawControls(run.out), 0u) << run.out;
  EXPECT_EQ(RawControls(run.err), 0u) << run.err;
  EXPECT_TRUE(IsValidUtf8(run.out));
  // Two broken links and three orphans: a line each, none forged.
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 5) << run.out;
  EXPECT_NE(run.out.find("orphan: o\\norphan: fake.html\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("orphan: a\\x1b]0;PWNED\\x07\\x1b[2J.html\n"), std::string::npos);
  EXPECT_NE(run.out.find("orphan: lat\\xe9.html\n"), std::string::npos);
  EXPECT_NE(run.out.find("broken link \"gone\\x1b[2J.html\""), std::string::npos);
}

TEST_F(ForgedNamesTest, JsonFindingsAreValidUtf8AndParse) {
  const ProgramOutput run = RunFolioscribe({dir / "site", "--check", "--format=json"});
  EXPECT_TRUE(IsValidUtf8(run.out)) << run.out;
  EXPECT_EQ(RawControls(run.out), 0u);
  EXPECT_NE(run.out.find("lat\xEF\xBF\xBD.html"), std::string::npos) << run.out;
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
  const std::string findings = dir.Write("findings.jsonl", run.out);
  const std::string parse = "python3 -c 'import json,sys; [json.loads(l) for l in open(sys.argv[1], encoding=\"utf-8\")]' ";
  EXPECT_EQ(std::system((parse + findings).c_str()), 0) << run.out;
}

TEST_F(ForgedNamesTest, MessagesNameFilesEscaped) {
  StoredProfile profile;
  profile.outputName = dir / kTerminal + "/map.html";  // a folder that is not there
  dir.Write("p.folioscribe_options", profile.Text());
  const ProgramOutput run = RunFolioscribe({dir / "site", "-profile", dir / "p", "-justdoit"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "folioscribe: Couldn't create output file:" + dir / "a\\x1b]0;PWNED\\x07\\x1b[2J.html" +
                         "/map.html (No such file or directory)\n");
  profile.outputName = dir / kTerminal;
  dir.Write("p.folioscribe_options", profile.Text());
  const ProgramOutput written = RunFolioscribe({dir / "site", "-profile", dir / "p", "-justdoit"});
  EXPECT_EQ(written.err, "folioscribe: wrote " + dir / "a\\x1b]0;PWNED\\x07\\x1b[2J.html\n");
  const ProgramOutput dry = RunFolioscribe({dir / "site", "-profile", dir / "p", "--dry-run"});
  EXPECT_EQ(dry.out, "5 entries would go to " + dir / "a\\x1b]0;PWNED\\x07\\x1b[2J.html\n");
  const ProgramOutput warned = RunFolioscribe(
      {dir / "site", "-profile", std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/profiles/xml-sitemap",
       "-o", dir / "map.xml", "--dry-run", "--domain=me\x1b.org"});
  EXPECT_NE(warned.err.find("folioscribe: warning: the domain \"me\\x1b.org\" is no absolute"),
            std::string::npos) << warned.err;
  const ProgramOutput unknown = RunFolioscribe({"--\x1b[2J"});
  EXPECT_TRUE(unknown.err.starts_with("folioscribe: unknown option --\\x1b[2J")) << unknown.err;
  const ProgramOutput missing = RunFolioscribe({dir / kTerminal, "-profile", dir / "p", "-justdoit"});
  EXPECT_EQ(missing.err, "folioscribe: " + dir / "a\\x1b]0;PWNED\\x07\\x1b[2J.html" +
                             " doesn't exist, or is not a folder\n");
}
