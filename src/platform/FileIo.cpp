#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "common/Paths.h"
#include "platform/FileSystem.h"
#include "platform/RegularFile.h"
#include "platform/UniqueFd.h"

namespace {

bool WriteAll(int fd, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t written = write(fd, content.data() + done, content.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Up to `limit` bytes of `fd`, fewer when the file ends first; nullopt on a read error.
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

// The process's umask, read without changing it: umask() can only be read by setting it,
// which would race with files other threads create meanwhile.
mode_t CurrentUmask() {
  // Files under /proc report no size, so this one is read up to a bound instead.
  UniqueFd fd(open("/proc/self/status", O_RDONLY | O_CLOEXEC));
  const auto status = fd.IsOpen() ? ReadUpTo(fd.Get(), 65536) : std::nullopt;
  const size_t at = status ? status->find("\nUmask:") : std::string::npos;
  if (at == std::string::npos) return 022;
  return static_cast<mode_t>(std::strtoul(status->c_str() + at + 7, nullptr, 8));
}

// The file a write to `path` should replace: the end of its symlinks when it exists, so
// the links survive; else `path` itself.
std::string ResolvedTarget(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

// The mode the replacement gets: the old file's, else the usual one for a new file.
mode_t ModeFor(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  return 0666 & ~CurrentUmask();
}

// A hidden name in the folder of `target`, cut so that it stays within the name limit.
std::string TemporaryPattern(const std::string& target) {
  const std::string suffix = ".XXXXXX";
  const size_t slash = target.rfind('/');  // npos + 1 is 0: a bare name starts there
  const std::string name = target.substr(slash + 1, NAME_MAX - 1 - suffix.size());
  return target.substr(0, slash + 1) + "." + name + suffix;
}

// Fills a fresh temporary file beside `target`; returns its path, or "" when that fails
// (and then nothing is left behind).
std::string WriteTemporaryBeside(const std::string& target, const std::string& content) {
  std::string temporary = TemporaryPattern(target);
  UniqueFd fd(mkstemp(temporary.data()));
  if (!fd.IsOpen()) return "";
  // mkstemp makes the file private; the replacement keeps the mode the target has.
  const bool written = fchmod(fd.Get(), ModeFor(target)) == 0 &&
                       WriteAll(fd.Get(), content) && fd.Close();
  if (written) return temporary;
  unlink(temporary.c_str());
  return "";
}

}  // namespace

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

bool WriteFileAtomic(const std::string& path, const std::string& content) {
  const std::string target = ResolvedTarget(path);
  const std::string temporary = WriteTemporaryBeside(target, content);
  if (temporary.empty()) return false;
  if (rename(temporary.c_str(), target.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

bool AppendToFile(const std::string& path, const std::string& content) {
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
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
  fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
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
