#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/Paths.h"
#include "platform/FdIo.h"
#include "platform/FileSystem.h"
#include "platform/RegularFile.h"
#include "platform/UniqueFd.h"

bool WriteAll(int fd, std::string_view content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t written = write(fd, content.data() + done, content.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

std::optional<std::string> ReadUpTo(int fd, size_t limit) {
  std::string content(limit, '\0');
  size_t done = 0;
  while (done < limit) {
    const ssize_t got = read(fd, content.data() + done, limit - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  content.resize(done);
  return content;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  RegularFile file(path);
  if (!file.IsOpen()) return std::nullopt;
  std::string content;
  while (content.size() < file.Size()) {
    const int64_t got = file.ReadMore(content, file.Size() - content.size());
    if (got < 0) return std::nullopt;
    if (got == 0) break;
  }
  return content;
}

namespace {

// Opens `path` for appending, creating it when missing; -1 unless it is a regular file: a
// pipe without a reader would hold the writer up for good, a device would take what is
// written. Whatever is there already is looked at before it is opened, and again after.
int OpenRegularForAppend(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return -1;
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666));
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return fd.Release();
}

}  // namespace

bool AppendToFile(const std::string& path, const std::string& content) {
  UniqueFd fd(OpenRegularForAppend(path));
  return fd.IsOpen() && WriteAll(fd.Get(), content) && fd.Close();
}

AppendFile::AppendFile(AppendFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

AppendFile::~AppendFile() { Close(); }

bool AppendFile::Open(const std::string& path) {
  Close();
  fd_ = OpenRegularForAppend(path);
  return IsOpen();
}

bool AppendFile::Append(const std::string& content) { return IsOpen() && WriteAll(fd_, content); }

void AppendFile::Close() {
  if (IsOpen()) close(std::exchange(fd_, -1));
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

bool CreateFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool CreateFolders(const std::string& path) {
  if (IsFolder(path)) return true;
  const std::string parent = ContainingFolder(StripTrailingSlash(path));
  if (parent == path || (!parent.empty() && !CreateFolders(parent))) return false;
  // Private, as the per-user folders of a desktop session should be.
  return mkdir(path.c_str(), 0700) == 0 || IsFolder(path);
}
