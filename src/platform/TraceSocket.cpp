#include "platform/TraceSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/Program.h"

namespace {
// A viewer reads datagrams of this size at most.
constexpr size_t kMaxDatagram = 1024;

// The socket address of TraceSocketPath(); false when there is none or it is too long.
bool TraceSocketAddress(sockaddr_un& address) {
  const std::string path = TraceSocketPath();
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

const sockaddr* AsSocketAddress(const sockaddr_un& address) {
  return reinterpret_cast<const sockaddr*>(&address);
}

// Another user's socket at the path would receive the log lines.
bool IsOwnSocket(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == geteuid();
}

volatile sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }

}  // namespace

std::string PrivateFolderIn(const std::string& parent) {
  const std::string folder = parent + "/folioscribe-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);  // there already is fine, when it is as checked below
  struct stat info {};
  const bool isPrivate = lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
                         info.st_uid == geteuid() && (info.st_mode & 077) == 0;
  return isPrivate ? folder : "";
}

std::string TraceSocketPath() {
  std::string folder = EnvironmentValue("XDG_RUNTIME_DIR");
  if (folder.empty()) folder = PrivateFolderIn("/tmp");
  return folder.empty() ? "" : folder + "/folioscribe-trace.sock";
}

void SendToTraceViewer(const std::string& line) { TraceViewerLink(std::chrono::seconds(0)).Send(line); }

TraceViewerLink::TraceViewerLink(std::chrono::steady_clock::duration retryAfter)
    : retryAfter_(retryAfter) {}

TraceViewerLink::~TraceViewerLink() { Disconnect(); }

bool TraceViewerLink::Connect(std::chrono::steady_clock::time_point now) {
  if (fd_ >= 0) return true;
  if (now < nextLook_) return false;
  nextLook_ = now + retryAfter_;
  sockaddr_un address;
  if (!TraceSocketAddress(address) || !IsOwnSocket(address.sun_path)) return false;
  // Non-blocking: a viewer that does not read must never hold up the program.
  fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ >= 0 && connect(fd_, AsSocketAddress(address), sizeof address) != 0)
    Disconnect();
  return fd_ >= 0;
}

void TraceViewerLink::Disconnect() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

void TraceViewerLink::Send(const std::string& line) { Send(line, std::chrono::steady_clock::now()); }

void TraceViewerLink::Send(std::string_view line, std::chrono::steady_clock::time_point now) {
  if (!Connect(now)) return;
  const ssize_t sent = send(fd_, line.data(), std::min(line.size(), kMaxDatagram), MSG_NOSIGNAL);
  // A full queue only drops the line; a viewer that went away is looked for again.
  if (sent < 0 && errno != EAGAIN) Disconnect();
}

TraceListener::~TraceListener() {
  if (fd_ < 0) return;
  close(fd_);
  unlink(path_.c_str());
  sigaction(SIGINT, &oldInterrupt_, nullptr);
  sigaction(SIGTERM, &oldTerminate_, nullptr);
}

bool TraceListener::Listen(std::string& problem) {
  path_ = TraceSocketPath();
  sockaddr_un address;
  if (!TraceSocketAddress(address)) {
    problem = path_.empty() ? "no private folder for the trace socket: /tmp/folioscribe-" +
                                  std::to_string(getuid()) + " is not this user's alone"
                            : "the trace socket path is too long: " + path_;
    return false;
  }
  const int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const bool taken = connect(probe, AsSocketAddress(address), sizeof address) == 0;
  close(probe);
  if (taken) {
    problem = "another trace viewer listens on " + path_;
    return false;
  }
  unlink(path_.c_str());  // left behind by a viewer that was killed
  fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0 || bind(fd_, AsSocketAddress(address), sizeof address) != 0) {
    problem = "cannot listen on " + path_ + ": " + std::strerror(errno);
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    return false;
  }
  struct sigaction onInterrupt {};
  onInterrupt.sa_handler = OnInterrupt;
  interrupted = 0;
  sigaction(SIGINT, &onInterrupt, &oldInterrupt_);
  sigaction(SIGTERM, &onInterrupt, &oldTerminate_);
  return true;
}

std::optional<std::string> TraceListener::NextLine() {
  char buffer[kMaxDatagram];
  while (fd_ >= 0) {
    // Lines already waiting are shown even after an interrupt.
    const ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got >= 0) return std::string(buffer, static_cast<size_t>(got));
    if ((errno != EAGAIN && errno != EINTR) || interrupted) return std::nullopt;
    // A short wait, so an interrupt arriving just before it is seen soon.
    pollfd ready{fd_, POLLIN, 0};
    poll(&ready, 1, 200);
  }
  return std::nullopt;
}
