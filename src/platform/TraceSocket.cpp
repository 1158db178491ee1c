#include "platform/TraceSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Program.h"

namespace {
// A viewer reads datagrams of this size at most.
constexpr size_t kMaxDatagram = 1024;
}  // namespace

std::string TraceSocketPath() {
  const std::string runtimeFolder = EnvironmentValue("XDG_RUNTIME_DIR");
  if (!runtimeFolder.empty()) return runtimeFolder + "/folioscribe-trace.sock";
  return "/tmp/folioscribe-trace-" + std::to_string(getuid()) + ".sock";
}

void SendToTraceViewer(const std::string& line) { TraceViewerLink(std::chrono::seconds(0)).Send(line); }

TraceViewerLink::TraceViewerLink(std::chrono::steady_clock::duration retryAfter)
    : retryAfter_(retryAfter) {}

TraceViewerLink::~TraceViewerLink() { Disconnect(); }

bool TraceViewerLink::Connect(std::chrono::steady_clock::time_point now) {
  if (fd_ >= 0) return true;
  if (now < nextLook_) return false;
  nextLook_ = now + retryAfter_;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = TraceSocketPath();
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  // Non-blocking: a viewer that does not read must never hold up the program.
  fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ >= 0 && connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
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
