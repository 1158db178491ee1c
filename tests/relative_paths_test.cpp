#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

RunOptions InFolder(const std::string& folder) {
  RunOptions options;
  options.folder = folder;
  return options;
}

std::string PercentDecoded(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      plain += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

// The hrefs of `map` that lead nowhere from the folder of `mapPath`.
std::vector<std::string> DeadHrefs(const std::string& mapPath) {
  const std::string map = ReadFileForTest(mapPath);
  const std::filesystem::path folder = std::filesystem::path(mapPath).parent_path();
  std::vector<std::string> dead;
  const std::regex href("href=\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(map.begin(), map.end(), href); it != std::sregex_iterator(); ++it)
    if (!std::filesystem::exists(folder / PercentDecoded((*it)[1].str()))) dead.push_back((*it)[1].str());
  return dead;
}

class RelativePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Build({{"site/index.html", "<a href=\"about.html\">about</a> <a href=\"docs/a b.html\">a</a>"},
               {"site/about.html", "<a href=\"/index.html\">home</a>"},
               {"site/docs/a b.html", ""},
               {"site/maps/", ""},
               {"out/", ""},
               {"sub/", ""}});
    std::filesystem::create_directory_symlink(dir / "site", dir / "link");
    Profile("sitemap.html");
  }

  void Profile(const std::string& outputName) {
    StoredProfile profile;
    profile.templateFolder = "&lt;li&gt;&lt;a href&#61;&quot;%fRelativePathWeb%&quot;&gt;%fName%&lt;/a&gt;";
    profile.usePageRank = "1";
    profile.outputName = outputName;
    dir.Write("p.folioscribe_options", profile.Text());
  }

  // Maps `start` as typed in the working folder `cwd` to the output name `output` (of the
  // profile, or of -o when `throughOption`); what the run printed.
  ProgramOutput Map(const std::string& cwd, const std::string& start, const std::string& output,
                    bool throughOption) {
    Profile(throughOption ? "sitemap.html" : output);
    std::vector<std::string> args{start, "-profile", dir / "p", "-justdoit", "--report"};
    if (throughOption) args.insert(args.end(), {"-o", output});
    return RunFolioscribe(args, InFolder(cwd));
  }

  TempDir dir;
};

}  // namespace

TEST_F(RelativePathsTest, EveryFormOfTheStartFolderGivesTheMapOfTheAbsoluteOne) {
  struct Start {
    std::string cwd, typed, absolute;
  };
  const Start starts[] = {
      {dir.Path(), dir / "site", dir / "site"}, {dir.Path(), "site", dir / "site"},
      {dir / "site", ".", dir / "site"},        {dir.Path(), "./site", dir / "site"},
      {dir / "sub", "../site", dir / "site"},   {dir.Path(), "link", dir / "link"},
  };
  struct Output {
    std::string name;  // from the start folder, or with -o from the working folder
    bool throughOption;
    std::string path;  // where the map goes, from the folder `dir`
  };
  const Output outputs[] = {
      {"map.html", false, "site/map.html"},
      {"maps/m.html", false, "site/maps/m.html"},
      {"../out/m.html", false, "out/m.html"},
  };
  for (const Start& start : starts) {
    for (const Output& output : outputs) {
      const std::string where = start.cwd + " " + start.typed + " -> " + output.name;
      const ProgramOutput absolute = Map(dir.Path(), start.absolute, output.name, false);
      ASSERT_EQ(absolute.status, 0) << where << absolute.err;
      const std::string expected = ReadFileForTest(dir / output.path);
      const ProgramOutput run = Map(start.cwd, start.typed, output.name, false);
      EXPECT_EQ(run.status, 0) << where << run.err;
      EXPECT_EQ(ReadFileForTest(dir / output.path), expected) << where;
      EXPECT_EQ(DeadHrefs(dir / output.path), std::vector<std::string>()) << where;
      EXPECT_EQ(run.out, absolute.out) << where;  // the report's keys, absolute paths
      EXPECT_NE(run.out.find(start.absolute + "/about.html ["), std::string::npos) << run.out;
    }
    // -o is taken from the working folder.
    const std::string optionOutput =
        std::filesystem::relative(dir / "out/o.html", start.cwd).string();
    const ProgramOutput run = Map(start.cwd, start.typed, optionOutput, true);
    EXPECT_EQ(run.err, "folioscribe: wrote " + dir / "out/o.html" + "\n") << optionOutput;
    EXPECT_EQ(ReadFileForTest(dir / "out/o.html"), ReadFileForTest(dir / "out/m.html")) << start.typed;
    EXPECT_EQ(DeadHrefs(dir / "out/o.html"), std::vector<std::string>()) << start.typed;
  }
}

// A Linux name may hold a backslash; only a path that does not exist as typed is read in
// the Windows way.
TEST_F(RelativePathsTest, ATypedPathThatExistsIsUsedAsTyped) {
  dir.Build({{"we\\ird/index.html", "<a href=\"b.html\">b</a>"}, {"we\\ird/b.html", ""},
             {"win/dows/index.html", ""}});
  const ProgramOutput dry =
      RunFolioscribe({"we\\ird", "-profile", dir / "p", "--dry-run"}, InFolder(dir.Path()));
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out, "3 entries would go to " + dir / "we\\\\ird/sitemap.html" + "\n");  // escaped
  const ProgramOutput check = RunFolioscribe({"we\\ird", "--check"}, InFolder(dir.Path()));
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_NE(check.err.find(" 2 pages read"), std::string::npos) << check.err;
  StoredProfile counts;
  counts.usePageRank = "1";
  counts.templateFile = "%fName% %fLinkCount%;";
  // Unlinked items left out: the start folder too, were its links not found below it.
  dir.Write("counts.folioscribe_options",
            std::regex_replace(counts.Text(), std::regex("bExcludeNotLinked=0"), "bExcludeNotLinked=1"));
  EXPECT_EQ(RunFolioscribe({dir / "we\\ird", "-profile", dir / "counts", "-justdoit"}).status, 0);
  EXPECT_NE(ReadFileForTest(dir / "we\\ird/sitemap.html").find("b.html 1;"), std::string::npos);
  dir.Write("my\\prof.folioscribe_options", ReadFileForTest(dir / "p.folioscribe_options"));
  const ProgramOutput profile = RunFolioscribe({dir / "we\\ird", "-profile", dir / "my\\prof", "--dry-run"});
  EXPECT_EQ(profile.status, 0) << profile.err;
  const ProgramOutput windows =
      RunFolioscribe({"win\\dows", "-profile", dir / "p", "--dry-run"}, InFolder(dir.Path()));
  EXPECT_EQ(windows.out, "2 entries would go to " + dir / "win/dows/sitemap.html" + "\n") << windows.err;
}
