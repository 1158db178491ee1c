#include "platform/ReplacementFile.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/SignalCleanup.h"
#include "platform/UniqueFd.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::string> TemporaryNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const std::string& name : NamesInForTest(folder))
    if (IsTemporaryFileName(name)) names.push_back(name);
  return names;
}

TEST(ReplacementFile, OldContentStaysUntilTheWholeNewOneIsCommitted) {
  TempDir dir;
  const std::string path = dir.Write("map.html", "old");
  chmod(path.c_str(), 0640);
  const std::string piece(1000, 'x');
  {
    ReplacementFile file;
    ASSERT_TRUE(file.Open(path));
    for (int i = 0; i < 1000; ++i) file.Write(piece);  // several buffers' worth
    EXPECT_EQ(ReadFileForTest(path), "old");
    EXPECT_EQ(TemporaryNamesIn(dir.Path()).size(), 1u);
    EXPECT_TRUE(file.Commit());
  }
  EXPECT_EQ(ReadFileForTest(path).size(), 1000u * piece.size());
  EXPECT_EQ(NamesInForTest(dir.Path()), std::vector<std::string>{"map.html"});
  struct stat info {};
  stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  for (const bool explicitly : {true, false}) {
    ReplacementFile file;
    ASSERT_TRUE(file.Open(path));
    file.Write("dropped");
    if (explicitly) file.Discard();
    EXPECT_FALSE(explicitly && file.Commit());
  }
  EXPECT_EQ(ReadFileForTest(path).size(), 1000u * piece.size());
  EXPECT_EQ(NamesInForTest(dir.Path()), std::vector<std::string>{"map.html"});
}

struct stat StatusOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info;
}

// A map that belongs to the web server's user stays readable to it after a run as root.
TEST(ReplacementFile, KeepsOwnerGroupAndModeAndSaysWhatItCannotKeep) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file another owner needs root";
  TempDir dir;
  const std::string path = dir.Write("map.html", "old");
  ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomic(path, "new"));
  EXPECT_EQ(StatusOf(path).st_uid, 65534u);
  EXPECT_EQ(StatusOf(path).st_gid, 65534u);
  EXPECT_EQ(StatusOf(path).st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFileForTest(path), "new");

  // Another user may not give the file root's ownership: it says so and still replaces it.
  const std::string rootOwned = dir.Write("shared/root.html", "old");
  chmod(dir.Path().c_str(), 0711);
  chmod((dir / "shared").c_str(), 0777);
  chmod(rootOwned.c_str(), 0666);
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    ReplacementFile file;
    if (!file.Open(rootOwned)) _exit(4);
    file.Write("new");
    const bool said = file.Warnings().size() == 1 &&
                      file.Warnings()[0] == "couldn't keep the owner and group of " + rootOwned +
                                                " (Operation not permitted): the new file belongs "
                                                "to the user of this run";
    _exit(file.Commit() && said ? 0 : 5);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(StatusOf(rootOwned).st_uid, 65534u);
  EXPECT_EQ(StatusOf(rootOwned).st_mode & 07777, 0666u);
}

TEST(ReplacementFile, SaysThatOtherHardLinksKeepTheOldContent) {
  TempDir dir;
  const std::string path = dir.Write("map.html", "old");
  ASSERT_EQ(link(path.c_str(), (dir / "copy.html").c_str()), 0);
  ReplacementFile file;
  ASSERT_TRUE(file.Open(path));
  file.Write("new");
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(file.Warnings(),
            std::vector<std::string>{path + " has 1 other hard link(s); they keep the old content"});
  EXPECT_EQ(ReadFileForTest(dir / "copy.html"), "old");
  ASSERT_TRUE(file.Open(path));
  EXPECT_TRUE(file.Warnings().empty());
}

TEST(ReplacementFile, SaysWhyItFailed) {
  TempDir dir;
  ReplacementFile file;
  EXPECT_FALSE(file.Open(dir / "missing/map.html"));
  EXPECT_EQ(file.Problem(), "No such file or directory");
  EXPECT_FALSE(file.Open(dir.Path()));
  EXPECT_EQ(file.Problem(), "not a regular file");
  std::string problem;
  EXPECT_FALSE(WriteFileAtomic(dir / "missing/map.html", "x", &problem));
  EXPECT_EQ(problem, "No such file or directory");
}

TEST(ReplacementFile, OnlyARegularFileOrNothingIsReplaced) {
  TempDir dir;
  dir.MakeFolder("folder");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
  UniqueFd socketFd(socket(AF_UNIX, SOCK_STREAM, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, (dir / "socket").c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(socketFd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(symlink("/dev/null", (dir / "null").c_str()), 0);
  for (const char* name : {"folder", "pipe", "socket", "null"}) {
    ReplacementFile file;
    EXPECT_FALSE(file.Open(dir / name)) << name;
    EXPECT_FALSE(IsRegularFile(dir / name)) << name;
  }
  EXPECT_EQ(NamesInForTest(dir.Path()), (std::vector<std::string>{"folder", "null", "pipe", "socket"}));
  EXPECT_TRUE(WriteFileAtomic(dir / "new.html", "made"));
  EXPECT_EQ(ReadFileForTest(dir / "new.html"), "made");
}

TEST(ReplacementFile, StaleTemporariesOfTheTargetGoThoseStillHeldStay) {
  TempDir dir;
  const std::string stale = dir.Write(".map.html.aB3dE9.folioscribe-tmp", "dead writer");
  const std::string held = dir.Write(".map.html.Zz0000.folioscribe-tmp", "live writer");
  const std::string others = dir.Write(".other.html.aB3dE9.folioscribe-tmp", "");
  const std::string unlike = dir.Write(".map.html.folioscribe-tmp", "");
  UniqueFd holder(open(held.c_str(), O_RDONLY));
  ASSERT_EQ(flock(holder.Get(), LOCK_EX), 0);
  ReplacementFile file;
  ASSERT_TRUE(file.Open(dir / "map.html"));
  file.Write("new");
  ASSERT_TRUE(file.Commit());
  EXPECT_FALSE(PathExists(stale));
  EXPECT_TRUE(PathExists(held));
  EXPECT_TRUE(PathExists(others));
  EXPECT_TRUE(PathExists(unlike));
  EXPECT_EQ(ReadFileForTest(dir / "map.html"), "new");
}

TEST(ReplacementFile, TemporaryNamesAreHiddenAndMarked) {
  const std::pair<const char*, bool> cases[] = {
      {".map.html.aB3dE9.folioscribe-tmp", true}, {".x.Q1w2E3.folioscribe-tmp", true},
      {"map.html.aB3dE9.folioscribe-tmp", false}, {".map.html.aB3dE9.folioscribe-tmp~", false},
      {".folioscribe-tmp", false},                {"map.html", false},
  };
  for (const auto& [name, temporary] : cases) EXPECT_EQ(IsTemporaryFileName(name), temporary) << name;
  TempDir dir;
  ReplacementFile file;
  ASSERT_TRUE(file.Open(dir / std::string(250, 'n')));  // the name is cut to stay valid
  EXPECT_EQ(TemporaryNamesIn(dir.Path()).size(), 1u);
}

// Runs `arm` in a child process that then raises `signal`; the child's wait status.
template <typename Arm>
int StatusAfterSignal(int signal, Arm arm) {
  const pid_t child = fork();
  if (child == 0) {
    arm();
    raise(signal);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

TEST(SignalCleanup, ArmedFilesGoWhenASignalEndsTheProcess) {
  TempDir dir;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string armed = dir.Write("armed", "");
    const std::string disarmed = dir.Write("disarmed", "");
    const int status = StatusAfterSignal(signal, [&] {
      DisarmRemovalOnSignal(ArmRemovalOnSignal(disarmed));
      ArmRemovalOnSignal(armed);
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_FALSE(PathExists(armed)) << signal;
    EXPECT_TRUE(PathExists(disarmed)) << signal;
  }
  // An ignored signal stays ignored (nohup): nothing ends, nothing is removed.
  const std::string kept = dir.Write("kept", "");
  const int status = StatusAfterSignal(SIGHUP, [&] {
    std::signal(SIGHUP, SIG_IGN);
    ArmRemovalOnSignal(kept);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(PathExists(kept));
}

// A run stopped at any moment leaves no temporary file, even one it was just making: the
// child makes and drops replacements without pause, with a second thread that may take the
// signal, until SIGTERM comes after a varying wait.
TEST(SignalCleanup, AStopWhileATemporaryIsMadeLeavesNone) {
  TempDir dir;
  const std::string target = dir / "map.html";
  for (int round = 0; round < 60; ++round) {
    const pid_t child = fork();
    if (child == 0) {
      std::thread([] {
        for (;;) pause();
      }).detach();
      for (;;) ReplacementFile().Open(target);
    }
    usleep(static_cast<useconds_t>(300 + round * 97 % 1500));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << round;
    EXPECT_EQ(TemporaryNamesIn(dir.Path()), std::vector<std::string>{}) << round;
  }
}

}  // namespace
