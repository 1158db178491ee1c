#include "platform/TraceSocket.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "tests/support/TempDir.h"

namespace {

// A viewer stand-in: a datagram socket bound at the trace path.
class Listener {
 public:
  explicit Listener(const std::string& path) : fd_(socket(AF_UNIX, SOCK_DGRAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bound_ = bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~Listener() { close(fd_); }
  bool Bound() const { return bound_; }
  // The next datagram, or "<none>" when nothing is waiting.
  std::string Receive() const {
    char buffer[4096];
    const ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    return got < 0 ? "<none>" : std::string(buffer, static_cast<size_t>(got));
  }

 private:
  int fd_;
  bool bound_ = false;
};

class TraceSocketTest : public testing::Test {
 protected:
  void SetUp() override { setenv("XDG_RUNTIME_DIR", dir_.Path().c_str(), 1); }
  void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
  TempDir dir_;
};

// A user id that owns nothing on the machine, for files of "another user".
constexpr uid_t kOtherUser = 54321;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST_F(TraceSocketTest, PathFollowsTheRuntimeFolderElseAPrivateOneInTmp) {
  EXPECT_EQ(TraceSocketPath(), dir_ / "folioscribe-trace.sock");
  unsetenv("XDG_RUNTIME_DIR");
  const std::string folder = "/tmp/folioscribe-" + std::to_string(getuid());
  EXPECT_EQ(TraceSocketPath(), folder + "/folioscribe-trace.sock");
  EXPECT_EQ(ModeOf(folder) & 0777, 0700u);
}

TEST_F(TraceSocketTest, PrivateFolderThatOthersCouldEnterOrOwnIsRefused) {
  const std::string folder = dir_ / ("folioscribe-" + std::to_string(getuid()));
  EXPECT_EQ(PrivateFolderIn(dir_.Path()), folder);
  EXPECT_EQ(ModeOf(folder) & 0777, 0700u);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(PrivateFolderIn(dir_.Path()), "");
  rmdir(folder.c_str());
  dir_.MakeFolder("elsewhere");
  chmod((dir_ / "elsewhere").c_str(), 0700);
  ASSERT_EQ(symlink((dir_ / "elsewhere").c_str(), folder.c_str()), 0);
  EXPECT_EQ(PrivateFolderIn(dir_.Path()), "");
  if (geteuid() != 0) GTEST_SKIP() << "a folder of another user needs root to make";
  unlink(folder.c_str());
  ASSERT_EQ(PrivateFolderIn(dir_.Path()), folder);
  ASSERT_EQ(chown(folder.c_str(), kOtherUser, kOtherUser), 0);
  EXPECT_EQ(PrivateFolderIn(dir_.Path()), "");
}

TEST_F(TraceSocketTest, SocketOfAnotherUserIsNeverSentTo) {
  if (geteuid() != 0) GTEST_SKIP() << "a socket of another user needs root to make";
  Listener viewer(TraceSocketPath());
  ASSERT_TRUE(viewer.Bound());
  ASSERT_EQ(chown(TraceSocketPath().c_str(), kOtherUser, kOtherUser), 0);
  SendToTraceViewer("a line for the owner only");
  EXPECT_EQ(viewer.Receive(), "<none>");
  ASSERT_EQ(chown(TraceSocketPath().c_str(), geteuid(), getegid()), 0);
  SendToTraceViewer("a line for the owner only");
  EXPECT_EQ(viewer.Receive(), "a line for the owner only");
}

TEST_F(TraceSocketTest, ViewerReceivesLinesCutTo1024Bytes) {
  SendToTraceViewer("nobody listens yet\r\n");  // must simply return
  Listener viewer(TraceSocketPath());
  ASSERT_TRUE(viewer.Bound());
  SendToTraceViewer("0:Entering: Run (07 Dec, 04:33:30,File:a.cpp, Line:3)\r\n");
  EXPECT_EQ(viewer.Receive(), "0:Entering: Run (07 Dec, 04:33:30,File:a.cpp, Line:3)\r\n");
  SendToTraceViewer(std::string(3000, 'x'));
  EXPECT_EQ(viewer.Receive(), std::string(1024, 'x'));
  EXPECT_EQ(viewer.Receive(), "<none>");
}

TEST_F(TraceSocketTest, ViewerThatDoesNotReadNeverBlocksTheSender) {
  Listener viewer(TraceSocketPath());
  ASSERT_TRUE(viewer.Bound());
  // Far more than a socket queue holds; a blocking send would hang here.
  for (int i = 0; i < 5000; ++i) SendToTraceViewer(std::string(1000, 'y'));
  EXPECT_EQ(viewer.Receive(), std::string(1000, 'y'));
}

TEST_F(TraceSocketTest, LinkFindsAViewerThatStartsOrRestartsLater) {
  TraceViewerLink link(std::chrono::seconds(0));
  link.Send("nobody listens yet");
  {
    Listener viewer(TraceSocketPath());
    ASSERT_TRUE(viewer.Bound());
    link.Send("first viewer");
    EXPECT_EQ(viewer.Receive(), "first viewer");
  }
  unlink(TraceSocketPath().c_str());
  link.Send("nobody listens again");
  Listener viewer(TraceSocketPath());
  ASSERT_TRUE(viewer.Bound());
  link.Send("second viewer");
  EXPECT_EQ(viewer.Receive(), "second viewer");
}

TEST_F(TraceSocketTest, LinkLooksForAViewerOnlyOncePerRetryTime) {
  TraceViewerLink link(std::chrono::hours(1));
  link.Send("nobody listens yet");
  Listener viewer(TraceSocketPath());
  ASSERT_TRUE(viewer.Bound());
  link.Send("not looked for again");
  EXPECT_EQ(viewer.Receive(), "<none>");
}

}  // namespace
