#include "platform/DetachedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/UniqueFd.h"

namespace {

// `path` opened for reading when it is a regular file, else -1; a device is never opened,
// as opening some has effects of its own.
int OpenRegularToHold(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return fd.Release();
}

}  // namespace

DetachedFile::DetachedFile(DetachedFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

DetachedFile& DetachedFile::operator=(DetachedFile other) noexcept {
  std::swap(fd_, other.fd_);
  return *this;
}

DetachedFile::~DetachedFile() { Close(); }

bool DetachedFile::Detach(const std::string& path) {
  Close();
  UniqueFd held(OpenRegularToHold(path));
  if (unlink(path.c_str()) != 0) return false;
  fd_ = held.Release();
  return true;
}

void DetachedFile::Close() {
  if (IsOpen()) close(std::exchange(fd_, -1));
}
