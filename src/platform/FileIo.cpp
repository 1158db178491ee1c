#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "common/Paths.h"
#include "platform/FileSystem.h"
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

// The process's umask, read without changing it: umask() can only be read by setting it,
// which would race with files other threads create meanwhile.
mode_t CurrentUmask() {
  const auto status = ReadWholeFile("/proc/self/status");
  const size_t at = status ? status->find("\nUmask:") : std::string::npos;
  if (at == std::string::npos) return 022;
  return static_cast<mode_t>(std::strtoul(status->c_str() + at + 7, nullptr, 8));
}

// Fills a fresh temporary file beside `target`; returns its path, or "" when that fails
// (and then nothing is left behind).
std::string WriteTemporaryBeside(const std::string& target, const std::string& content) {
  std::string temporary = target + ".XXXXXX";
  UniqueFd fd(mkstemp(temporary.data()));
  if (!fd.IsOpen()) return "";
  // mkstemp makes the file private; the output should get the usual permissions.
  const bool written = fchmod(fd.Get(), 0666 & ~CurrentUmask()) == 0 &&
                       WriteAll(fd.Get(), content) && fd.Close();
  if (written) return temporary;
  unlink(temporary.c_str());
  return "";
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  UniqueFd fd(open(ToSlashes(path).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  std::string content;
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(fd.Get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return content;
    content.append(chunk, static_cast<size_t>(got));
  }
}

bool WriteFileAtomic(const std::string& path, const std::string& content) {
  const std::string target = ToSlashes(path);
  const std::string temporary = WriteTemporaryBeside(target, content);
  if (temporary.empty()) return false;
  if (rename(temporary.c_str(), target.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

bool AppendToFile(const std::string& path, const std::string& content) {
  UniqueFd fd(open(ToSlashes(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
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
  fd_ = open(ToSlashes(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  return IsOpen();
}

bool AppendFile::Append(const std::string& content) { return IsOpen() && WriteAll(fd_, content); }

void AppendFile::Close() {
  if (IsOpen()) close(std::exchange(fd_, -1));
}

bool DeleteFile(const std::string& path) { return unlink(ToSlashes(path).c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return rename(ToSlashes(from).c_str(), ToSlashes(to).c_str()) == 0;
}

bool CreateFolder(const std::string& path) { return mkdir(ToSlashes(path).c_str(), 0777) == 0; }
