// Trees that anyone able to upload files into a site could make: the run stays inside the
// start folder, ends, and says what it left out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

class HostileTree : public ::testing::Test {
 protected:
  // Runs the program on dir/site with `profile`, its map written to dir/site/map.html.
  ProgramOutput Run(StoredProfile profile, const std::string& moreOptions = "") {
    profile.startFolder = dir / "site";
    profile.outputName = "map.html";
    dir.Write("test.folioscribe_options", profile.Text() + moreOptions);
    return RunFolioscribe({"-profile", dir / "test", "-justdoit", "-report"});
  }
  std::string Map() const { return ReadFileForTest(dir / "site/map.html"); }

  TempDir dir;
};

TEST_F(HostileTree, BackslashesInNamesAndHrefsNeverLeaveTheStartFolder) {
  dir.Build({
      {"site/index.htm",
       "<title>Home</title><a href=\"../out/o.html\"></a><a href=\"..\\..\\out\\o.html\"></a>"
       "<a href=\"%2e%2e/%2E%2e/out/o.html\"></a><a href=\"..%5Cout%5Co.html\"></a>"},
      {"site/..\\out\\o.html", "<title>Mine</title>"},
      {"site/..\\..\\..\\..\\etc/", ""},
      {"out/o.html", "<title>Secret</title><a href=\"leak.htm\"></a>"},
  });
  StoredProfile profile;
  profile.usePageRank = "1";
  const ProgramOutput run = Run(profile);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "folioscribe: wrote " + dir / "site/map.html" + "\n");
  // Each name under its own name inside its folder, linked so that a browser finds it.
  EXPECT_EQ(Map(),
            "<ul><li>site<ul><li><a href=\"index.htm\">Home</a></li>"
            "<li><a href=\"..%5Cout%5Co.html\">Mine</a></li><li>..\\..\\..\\..\\etc<ul></ul></ul></ul>");
  // The climbing hrefs stop at the start folder; the encoded one names the file of that name
  // (a report key writes its backslashes doubled, so that every escape reads back one way).
  EXPECT_EQ(run.out, dir / "site/out/o.html [3]\n" + dir / "site/..\\\\out\\\\o.html [1]\n");
  EXPECT_EQ(ReadFileForTest(dir / "out/o.html"), "<title>Secret</title><a href=\"leak.htm\"></a>");
}

// Creates `depth` folders named "d", each inside the last, below `folder`. Relative to an
// open folder at each step, since the whole path soon outgrows what the system allows.
bool MakeNestedFolders(const std::string& folder, int depth) {
  int parent = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int level = 0; parent >= 0 && level < depth; ++level) {
    const int child = mkdirat(parent, "d", 0777) == 0
                          ? openat(parent, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    close(parent);
    parent = child;
  }
  return parent >= 0 && close(parent) == 0;
}

// Removes what MakeNestedFolders made: the chain is pulled up one level at a time, so no
// path ever grows long.
void RemoveNestedFolders(const std::string& folder) {
  const int top = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (;;) {
    const int child = openat(top, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (child < 0) break;
    const bool pulled = renameat(child, "d", top, "next") == 0;
    close(child);
    unlinkat(top, "d", AT_REMOVEDIR);
    if (!pulled || renameat(top, "next", top, "d") != 0) break;
  }
  close(top);
}

// The number of times `what` stands in `text`.
size_t Occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST_F(HostileTree, PipesDevicesAndHugePagesAreNeverOpenedOrReadWhole) {
  dir.Build({{"site/index.htm", "<title>Home</title><a href=\"fifo.html\"></a><a href=\"big.html\"></a>"
                                "<a href=\"zero.html\"></a><a href=\"zeros.html\"></a>"}});
  ASSERT_EQ(mkfifo((dir / "site/fifo.html").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", (dir / "site/zero.html").c_str()), 0);
  // Sparse: a page that claims 100 GB, and one of 1 MB of zero bytes.
  dir.Write("site/big.html", "<title>Big</title>");
  if (truncate((dir / "site/big.html").c_str(), 100LL << 30) != 0) GTEST_SKIP() << "no sparse files here";
  dir.Write("site/zeros.html", "");
  ASSERT_EQ(truncate((dir / "site/zeros.html").c_str(), 1 << 20), 0);
  // Every open of the pipe and every read of the huge page shows here.
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, (dir / "site/fifo.html").c_str(), IN_OPEN), 0);
  ASSERT_GE(inotify_add_watch(watch, (dir / "site/big.html").c_str(), IN_ACCESS), 0);

  StoredProfile profile;
  profile.usePageRank = "1";
  const ProgramOutput run = Run(profile);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Map(), "<ul><li>site<ul><li><a href=\"index.htm\">Home</a></li><li><a href=\"big.html\">big.html</a></li>"
                   "<li><a href=\"fifo.html\">fifo.html</a></li>"
                   "<li><a href=\"zero.html\">zero.html</a></li><li><a href=\"zeros.html\">zeros.html</a></li>"
                   "</ul></ul>");
  // The crawl and the titles meet the pipe; it is said once.
  EXPECT_EQ(run.err, "folioscribe: warning: couldn't read page " + dir / "site/fifo.html" + ": not a regular file\n"
                     "folioscribe: warning: couldn't read page " + dir / "site/big.html" +
                     ": larger than nMaxPageBytes=67108864\n"
                     "folioscribe: warning: couldn't read page " + dir / "site/zero.html" + ": not a regular file\n"
                     "folioscribe: wrote " + dir / "site/map.html" + "\n");
  char events[4096];
  EXPECT_EQ(read(watch, events, sizeof events), -1) << "the pipe was opened or the huge page read";
  close(watch);
}

TEST_F(HostileTree, FolderLinksThatFanOutAreEnteredOnce) {
  // Each folder holds two links to the next: 2^20 paths lead to the last one.
  constexpr int kLevels = 20;
  for (int level = 0; level <= kLevels; ++level) dir.MakeFolder("site/f" + std::to_string(level));
  for (int level = 0; level < kLevels; ++level) {
    const std::string next = "../f" + std::to_string(level + 1);
    for (const char* name : {"/a", "/b"})
      ASSERT_EQ(symlink(next.c_str(), (dir / "site/f" + std::to_string(level) + name).c_str()), 0);
  }
  dir.Write("site/f20/page.htm", "<title>Deep</title>");
  const ProgramOutput run = Run(StoredProfile());
  EXPECT_EQ(run.status, 0);
  const std::string map = Map();
  // Reached first through f0/a/a/...: the page once; every other reach is a bare entry.
  EXPECT_EQ(Occurrences(map, "Deep"), 1u);
  EXPECT_NE(map.find("<li>b<ul></ul>"), std::string::npos);
  // The site, each folder under its own name and its two links, and the page.
  EXPECT_EQ(Occurrences(map, "<li>"), 1 + (kLevels + 1) + 2 * kLevels + 1u);
}

TEST_F(HostileTree, FiveThousandNestedFoldersEndWithoutACrash) {
  // On a memory file system where there is one: thousands of folders come and go fast there.
  std::string scratch = access("/dev/shm", W_OK) == 0 ? "/dev/shm/folioscribe-deep-XXXXXX" : dir / "deep-XXXXXX";
  ASSERT_NE(mkdtemp(scratch.data()), nullptr);
  ASSERT_EQ(symlink(scratch.c_str(), (dir / "site").c_str()), 0);
  ASSERT_TRUE(MakeNestedFolders(scratch, 5000));
  const ProgramOutput run = Run(StoredProfile());
  EXPECT_EQ(run.status, 0);
  const std::string map = Map();
  EXPECT_TRUE(map.starts_with("<ul><li>site<ul><li>d<ul><li>d<ul>")) << map.substr(0, 100);
  // As deep as paths may be; where it stopped, the warning says.
  const size_t depth = Occurrences(map, "<li>d<ul>");
  EXPECT_GT(depth, 1000u);
  EXPECT_EQ(Occurrences(map, "</ul>"), depth + 2);
  EXPECT_TRUE(map.ends_with("</ul></ul></ul>"));
  EXPECT_NE(run.err.find("folioscribe: warning: couldn't list folder " + dir / "site/d/d/d/"), std::string::npos);
  EXPECT_NE(run.err.find(": File name too long\n"), std::string::npos) << run.err.substr(0, 200);
  RemoveNestedFolders(scratch);
  unlink((scratch + "/map.html").c_str());
  EXPECT_EQ(rmdir(scratch.c_str()), 0);
}

}  // namespace
