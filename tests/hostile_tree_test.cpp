// Trees that anyone able to upload files into a site could make: the run stays inside the
// start folder, ends, and says what it left out.
#include <gtest/gtest.h>

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
  // The climbing hrefs stop at the start folder; the encoded one names the file of that name.
  EXPECT_EQ(run.out, dir / "site/out/o.html [3]\n" + dir / "site/..\\out\\o.html [1]\n");
  EXPECT_EQ(ReadFileForTest(dir / "out/o.html"), "<title>Secret</title><a href=\"leak.htm\"></a>");
}

}  // namespace
