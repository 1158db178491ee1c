#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "ProgramRunner.h"
#include "StoredProfile.h"
#include "tests/support/TempDir.h"

namespace {

namespace fsys = std::filesystem;

// A user id that owns nothing on the machine: the program runs as "another user".
constexpr uid_t kOtherUser = 54321;

std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
  std::vector<std::string> found;
  for (const std::string& name : NamesInForTest(folder))
    if (name.ends_with(".folioscribe-tmp")) found.push_back(name);
  return found;
}

class HostileOutputTest : public ::testing::Test {
 protected:
  // Writes the profile `name` for the site folder and runs the program on it once.
  ProgramOutput Run(const StoredProfile& profile, std::vector<std::string> extra = {},
                    const std::string& name = "p.folioscribe_options") {
    StartedProgram program = Start(profile, extra, name);
    return WaitForFolioscribe(program);
  }
  StartedProgram Start(const StoredProfile& profile, std::vector<std::string> extra = {},
                       const std::string& name = "p.folioscribe_options") {
    dir.Write(name, profile.Text());
    std::vector<std::string> args = {"-profile", dir / name, "-justdoit"};
    args.insert(args.end(), extra.begin(), extra.end());
    return StartFolioscribe(args);
  }
  StoredProfile SiteProfile(const std::string& output = "sitemap.html") const {
    StoredProfile profile;
    profile.startFolder = dir / "site";
    profile.outputName = output;
    profile.templateFile = "(%fName%)";
    profile.templateFolder = "[%fName%";
    profile.templateLevelDown = "";
    profile.templateLevelUp = "]";
    profile.templateStart = profile.templateEnd = "";
    return profile;
  }
  TempDir dir;
};

void MakeSocket(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  close(fd);  // the socket file stays
}

}  // namespace

TEST_F(HostileOutputTest, OutputThatIsNoRegularFileOrIsAProfileIsRefusedAndLeftAlone) {
  dir.Build({{"site/a.htm", ""}, {"out/folder/", ""}, {"out/other.Folioscribe_Options", "[GENERAL]"}});
  ASSERT_EQ(mkfifo((dir / "out/pipe").c_str(), 0644), 0);
  MakeSocket(dir / "out/socket");
  ASSERT_EQ(symlink("/dev/null", (dir / "out/null").c_str()), 0);
  // As root, a device node is replaceable: the case that once replaced /dev/null.
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(mknod((dir / "out/device").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"folder", "it is a folder"},       {"pipe", "it is not a regular file"},
      {"socket", "it is not a regular file"}, {"null", "it is not a regular file"},
      {"device", "it is not a regular file"}, {"other.Folioscribe_Options", "it is a profile"},
      {"new.folioscribe_options", "it is a profile"},
  };
  for (const auto& [name, why] : cases) {
    if (name == "device" && !root) continue;
    const std::string output = dir / ("out/" + name);
    const auto before = fsys::symlink_status(output).type();
    const ProgramOutput run = Run(SiteProfile(output));
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_EQ(run.err, "folioscribe: Couldn't create output file:" + output + " (" + why + ")\n");
    EXPECT_EQ(fsys::symlink_status(output).type(), before) << name;
  }
  EXPECT_EQ(ReadFileForTest(dir / "out/other.Folioscribe_Options"), "[GENERAL]");
  EXPECT_TRUE(TemporaryFilesIn(dir / "out").empty());

  // The profile in use, whatever its name.
  const std::string profile = dir / "mine.ini";
  const ProgramOutput run = Run(SiteProfile(profile), {}, "mine.ini");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "folioscribe: Couldn't create output file:" + profile + " (it is a profile)\n");
  EXPECT_EQ(ReadFileForTest(profile), SiteProfile(profile).Text());
}

TEST_F(HostileOutputTest, RunStoppedWhileWritingLeavesTheOldOutputAndNoTemporaryFile) {
  // Big enough that the map takes about a second to write.
  for (int folder = 0; folder < 100; ++folder)
    for (int page = 0; page < 100; ++page)
      dir.Write("site/f" + std::to_string(folder) + "/p" + std::to_string(page) + ".htm",
                "<title>Page " + std::to_string(page) + "</title>");
  const std::string output = dir.Write("site/sitemap.html", "the last good map");
  StoredProfile profile = SiteProfile();
  profile.templateFile = "&lt;li&gt;%AutoHrefText% %fName% %fSize% %fDateCreated% " + std::string(300, '.');
  StartedProgram program = Start(profile);
  // Stopped once the first piece of the new map is on disk.
  auto writing = [&] {
    for (const std::string& name : TemporaryFilesIn(dir / "site"))
      if (fsys::file_size(dir / ("site/" + name)) > 0) return true;
    return false;
  };
  const ProgramOutput run = StopFolioscribeWhen(program, writing, SIGTERM);
  EXPECT_EQ(run.signal, SIGTERM) << run.err;
  EXPECT_EQ(ReadFileForTest(output), "the last good map");
  EXPECT_TRUE(TemporaryFilesIn(dir / "site").empty());
}

TEST_F(HostileOutputTest, StaleTemporaryOfTheOutputGoesOneStillHeldStaysNeitherIsListed) {
  dir.Build({{"site/a.htm", ""}, {"site/.sitemap.html.aB3dE9.folioscribe-tmp", "dead run"},
             {"site/.sitemap.html.Zz0000.folioscribe-tmp", "live run"}});
  const int holder = open((dir / "site/.sitemap.html.Zz0000.folioscribe-tmp").c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  const ProgramOutput run = Run(SiteProfile());
  close(holder);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), "[site(a.htm)]");
  EXPECT_EQ(TemporaryFilesIn(dir / "site"),
            std::vector<std::string>{".sitemap.html.Zz0000.folioscribe-tmp"});
}

// The first folder above `path` that a user who owns none of them cannot pass through;
// empty when there is none.
std::string FolderClosedToOthers(const std::string& path) {
  for (fsys::path folder = fsys::path(path).parent_path(); !folder.empty();
       folder = folder.parent_path()) {
    struct stat status{};
    if (stat(folder.c_str(), &status) != 0 || (status.st_mode & S_IXOTH) == 0) return folder;
    if (folder == folder.root_path()) break;
  }
  return "";
}

TEST_F(HostileOutputTest, PartialMapIsWrittenAndSaidAndFailsOnlyWhenStrict) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run the program as another user";
  const std::string closed = FolderClosedToOthers(dir.Path());
  if (!closed.empty()) GTEST_SKIP() << "another user cannot enter " << closed << " ($TMPDIR)";
  dir.Build({{"site/a.htm", "<title>A</title>"}, {"site/locked/inner.htm", ""},
             {"site/secret.htm", "<title>Secret</title>"}});
  // The other user runs a copy of the program here: the build folder may lie where that
  // user cannot go (a clone in a mktemp -d folder). Its state goes here too.
  const std::string program = dir / "bin/folioscribe";
  fsys::create_directories(dir / "bin");
  fsys::copy_file(FOLIOSCRIBE_EXE, program);
  for (const auto& entry : fsys::recursive_directory_iterator(dir.Path()))
    ASSERT_EQ(lchown(entry.path().c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_EQ(chown(dir.Path().c_str(), kOtherUser, kOtherUser), 0);
  // What the other user may not read: a folder and a page of root's.
  ASSERT_EQ(chown((dir / "site/locked").c_str(), 0, 0), 0);
  ASSERT_EQ(chmod((dir / "site/locked").c_str(), 0700), 0);
  ASSERT_EQ(chown((dir / "site/secret.htm").c_str(), 0, 0), 0);
  ASSERT_EQ(chmod((dir / "site/secret.htm").c_str(), 0600), 0);
  StoredProfile profile = SiteProfile();
  profile.templateFile = "(%AutoHrefText%)";
  const std::string warnings =
      "folioscribe: warning: couldn't read page " + dir / "site/secret.htm" + ": Permission denied\n"
      "folioscribe: warning: couldn't list folder " + dir / "site/locked" + ": Permission denied\n";
  for (const bool strict : {false, true}) {
    dir.Write("p.folioscribe_options", profile.Text());
    chown((dir / "p.folioscribe_options").c_str(), kOtherUser, kOtherUser);
    std::vector<std::string> args = {"-profile", dir / "p", "-justdoit"};
    if (strict) args.push_back("-strict");
    RunOptions asOtherUser;
    asOtherUser.user = kOtherUser;
    asOtherUser.program = program;
    asOtherUser.environment = {{"HOME", dir / "home"}, {"XDG_STATE_HOME", dir / "state"},
                               {"XDG_CONFIG_HOME", dir / "config"}};
    const ProgramOutput run = RunFolioscribe(args, asOtherUser);
    EXPECT_EQ(run.status, strict ? 1 : 0);
    EXPECT_EQ(run.err, warnings + "folioscribe: wrote " + dir / "site/sitemap.html" + "\n");
    EXPECT_EQ(ReadFileForTest(dir / "site/sitemap.html"), "[site(A)(secret.htm)[locked]]");
  }
}

TEST_F(HostileOutputTest, FolderBeyondTheLongestPathIsSaid) {
  // Made step by step from inside, as no path this long can be given to the system.
  dir.Write("site/top.htm", "");
  const std::string name(200, 'n');
  int folder = open((dir / "site").c_str(), O_RDONLY | O_DIRECTORY);
  std::string path = dir / "site";
  while (path.size() <= PATH_MAX) {
    ASSERT_EQ(mkdirat(folder, name.c_str(), 0755), 0);
    const int inner = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(folder);
    folder = inner;
    path += "/" + name;
  }
  close(folder);
  const std::string reached = path.substr(0, path.rfind('/'));
  const ProgramOutput run = Run(SiteProfile(), {"-strict"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("folioscribe: warning: couldn't list folder " + path + ": File name too long\n"),
            std::string::npos) << run.err;
  EXPECT_NE(run.err.find("folioscribe: wrote "), std::string::npos);
  // Everything above it is mapped.
  EXPECT_TRUE(ReadFileForTest(dir / "site/sitemap.html").starts_with("[site(top.htm)[" + name + "["));
  fsys::remove_all(dir / "site");  // removal handles the depth itself
}

TEST_F(HostileOutputTest, ReportKeysCannotForgeLinesNorDriveTheTerminal) {
  dir.Build({{"site/index.htm", "<a href=\"mailto:a\x1b[2Jb\">m</a><a href=\"a.htm\">a</a>"},
             {"site/a.htm", ""}});
  StoredProfile profile = SiteProfile();
  profile.usePageRank = "1";
  const ProgramOutput run = Run(profile, {"-report"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "mailto:a\\x1b[2Jb [1]\n" + dir / "site/a.htm" + " [1]\n");
}
