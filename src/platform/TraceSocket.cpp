#include "platform/TraceSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/Program.h"
#include "platform/UniqueFd.h"

namespace {
// A viewer reads datagrams of this size at most.
constexpr size_t kMaxDatagram = 1024;
}  // namespace

std::string TraceSocketPath() {
  const std::string runtimeFolder = EnvironmentValue("XDG_RUNTIME_DIR");
  if (!runtimeFolder.empty()) return runtimeFolder + "/folioscribe-trace.sock";
  return "/tmp/folioscribe-trace-" + std::to_string(getuid()) + ".sock";
}

void SendToTraceViewer(const std::string& line) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = TraceSocketPath();
  if (path.size() >= sizeof address.sun_path) return;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  // Non-blocking: a viewer that does not read must never hold up the program.
  UniqueFd fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.IsOpen()) return;
  sendto(fd.Get(), line.data(), std::min(line.size(), kMaxDatagram), MSG_NOSIGNAL,
         reinterpret_cast<const sockaddr*>(&address), sizeof address);
}
