#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/PathPatterns.h"
#include "tests/support/NeededTool.h"
#include "tests/support/TempDir.h"

namespace {

// Left out as the walk decides it: nothing inside a folder left out is looked at.
bool LeftOut(const PathPatterns& patterns, const std::string& path, bool isFolder) {
  for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
    if (patterns.Match(path.substr(0, slash), true) == PatternMatch::kMatched) return true;
  return patterns.Match(path, isFolder) == PatternMatch::kMatched;
}

TEST(PathPatterns, AFolderLeftOutCannotBeKeptInto) {
  PathPatterns patterns;
  patterns.AddLines("/*\n!/foo\n/foo/*\n!/foo/bar\n", "");
  EXPECT_FALSE(LeftOut(patterns, "foo/bar", false));
  EXPECT_TRUE(LeftOut(patterns, "foo/baz", false));
  EXPECT_TRUE(LeftOut(patterns, "other", true));
  patterns.AddLines("build/\n!build/keep.txt\n", "");
  EXPECT_TRUE(LeftOut(patterns, "foo/build/keep.txt", false));
}

// A byte-order mark first, as some editors write it.
const char* const kIgnoreFile =
    "\xEF\xBB\xBF*.css\n!x.CSS\n/build/\nBuild\nnode_modules/\n*.min.js\n!app.min.js\ndocs/**/*.txt\n"
    "**/_static\n_sources/\nhello.*\n!hello.h\n/a/b/\nabc/**\nfoo/*\n*.log\n!keep.log\n"
    ".*\n!.buildinfo\n[a-c]*.md\n?.tx?\n\\#notes\n\\!bang.txt\ntrail.txt   \nblank\\ \n"
    "objects.inv\ndeep/**/page.htm\n**/deep/index.html\n/*.jsonl\nsitemap.*\na\\[1\\].txt\n"
    "*.PNG\nx y/\nsrc/*/hello.c\n# a comment\n\n"
    "un[closed\n*[\n![z-a]x.txt\n*x.txt\n[z-a]y.txt\nab\\\\ \nkeep\\ \n*.tar.gz\n";

// A tree of a few hundred paths whose names the patterns above aim at.
std::vector<std::pair<std::string, bool>> MakeTree(const TempDir& dir) {
  const char* const folders[] = {"src", "docs", "build", "Build", "a", "b", "foo", "abc",
                                 "node_modules", "_static", "_sources", ".hidden", "deep", "x y",
                                 "pages", "img", "api", "guide", "Src"};
  const char* const files[] = {"index.html", "page.htm", "A.HTML", "style.css", "x.CSS",
                               "app.js", "app.min.js", "lib.min.js", "readme.txt", "c.md",
                               "notes.md", "hello.c", "hello.h", "foo", "abc", "#notes",
                               "!bang.txt", "trail.txt", "blank ", "a[1].txt", "objects.inv",
                               ".buildinfo", ".env", "data.jsonl", "sitemap.xml", "keep.log",
                               "debug.log", "img.PNG", "img.png", "b.txt", "ab.txt", "build",
                               "x y", "node_modules", "un[closed", "unc", "u[", "zx.txt",
                               "mx.txt", "ax.txt", "y.txt", "zy.txt", "ab\\", "ab\\ ",
                               "keep ", "keep", "a.tar.gz", "b.gz"};
  std::mt19937 random(11);
  std::vector<std::pair<std::string, bool>> paths;
  std::vector<std::pair<std::string, int>> pending{{"", 0}};
  while (!pending.empty()) {
    const auto [folder, depth] = pending.back();
    pending.pop_back();
    const std::string prefix = folder.empty() ? "" : folder + "/";
    std::set<std::string> names;
    for (int i = 0; depth < 3 && i < 3; ++i) {
      const std::string name = folders[random() % std::size(folders)];
      if (!names.insert(name).second) continue;
      dir.MakeFolder(prefix + name);
      paths.emplace_back(prefix + name, true);
      pending.emplace_back(prefix + name, depth + 1);
    }
    for (int i = 0; i < 8; ++i) {
      const std::string name = files[random() % std::size(files)];
      if (!names.insert(name).second) continue;
      dir.Write(prefix + name, "x");
      paths.emplace_back(prefix + name, false);
    }
  }
  return paths;
}

// The paths `git check-ignore` reports as ignored, given the paths on its standard input.
std::set<std::string> IgnoredByGit(const TempDir& dir, const std::vector<std::pair<std::string, bool>>& paths) {
  std::string input;
  for (const auto& [path, isFolder] : paths) input += path + '\0';
  dir.Write("paths.in", input);
  const std::string git = "env -i PATH=\"$PATH\" HOME='" + dir.Path() +
                          "' GIT_CONFIG_NOSYSTEM=1 git -C '" + dir.Path() + "' ";
  const std::string command = git + "init -q && " + git + "check-ignore -z --stdin < '" +
                              dir.Path() + "/paths.in' > '" + dir.Path() + "/paths.out'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << command;
  std::set<std::string> ignored;
  std::istringstream output(ReadFileForTest(dir / "paths.out"));
  for (std::string path; std::getline(output, path, '\0');) ignored.insert(path);
  return ignored;
}

TEST(PathPatterns, AgreesWithGitCheckIgnore) {
  SKIP_WITHOUT_TOOL("git");
  TempDir dir;
  const auto paths = MakeTree(dir);
  ASSERT_GT(paths.size(), 200u);
  dir.Write(".gitignore", kIgnoreFile);
  const std::set<std::string> ignored = IgnoredByGit(dir, paths);
  ASSERT_GT(ignored.size(), paths.size() / 5);
  ASSERT_LT(ignored.size(), paths.size() * 4 / 5);
  PathPatterns patterns;
  patterns.AddLines(kIgnoreFile, "");
  for (const auto& [path, isFolder] : paths)
    EXPECT_EQ(LeftOut(patterns, path, isFolder), ignored.count(path) == 1) << path;
}

}  // namespace
