#include "platform/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Non-blocking: should a pipe replace the file meanwhile, opening it must not wait.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// An open descriptor of `path` when it is a regular file, its status in `info`; else -1.
int OpenRegular(const std::string& path, struct stat& info) {
  struct stat before {};
  if (stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return -1;
  const int fd = open(path.c_str(), kOpenFlags);
  if (fd < 0) return -1;
  if (fstat(fd, &info) == 0 && info.st_dev == before.st_dev && info.st_ino == before.st_ino) return fd;
  close(fd);
  return -1;
}

// The same for a path listed as a regular file: only a device can act on being opened,
// and none can take its place but through a link, which is not followed.
int OpenListedRegular(const std::string& path, struct stat& info) {
  const int fd = open(path.c_str(), kOpenFlags | O_NOFOLLOW);
  if (fd < 0) return -1;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
  close(fd);
  return -1;
}

}  // namespace

RegularFile::RegularFile(const std::string& path, Known known)
    : fd_(known == Known::kListedRegular ? OpenListedRegular(path, info_) : OpenRegular(path, info_)) {}

int64_t RegularFile::ReadMore(std::string& buffer, size_t count) {
  if (!fd_.IsOpen()) return -1;
  const size_t start = buffer.size();
  buffer.resize(start + count);
  ssize_t got = -1;
  do got = read(fd_.Get(), buffer.data() + start, count);
  while (got < 0 && errno == EINTR);
  buffer.resize(start + static_cast<size_t>(got > 0 ? got : 0));
  return got;
}
