#include "platform/ReplacementFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/FdIo.h"
#include "platform/FileSystem.h"
#include "platform/SignalCleanup.h"
#include "platform/UniqueFd.h"

namespace {

// Pieces gather up to this size before they are written: few system calls, little memory.
constexpr size_t kWriteSize = 256 * 1024;
constexpr std::string_view kSuffix = ".folioscribe-tmp";
constexpr std::string_view kRandomPart = ".XXXXXX";

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
  const std::string real = RealPath(path);
  return real.empty() ? path : real;
}

std::string SystemReason() { return std::strerror(errno); }

// Gives the new file behind `fd` the old file's owner, group and mode, so that a run by
// another user (root from cron) leaves the map readable to those who read it before. The
// owner first: changing it clears set-id bits. What cannot be kept adds a warning.
bool KeepOwnerAndMode(int fd, const struct stat& old, const std::string& target,
                      std::vector<std::string>& warnings) {
  struct stat made {};
  if (fstat(fd, &made) != 0) return false;
  if (made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
      warnings.push_back("couldn't keep the owner and group of " + target + " (" + SystemReason() +
                         "): the new file belongs to the user of this run");
    else if (fstat(fd, &made) == 0 && made.st_uid != old.st_uid)
      warnings.push_back("couldn't keep the owner of " + target +
                         ": the new file belongs to the user of this run");
  }
  if (old.st_nlink > 1)
    warnings.push_back(target + " has " + std::to_string(old.st_nlink - 1) +
                       " other hard link(s); they keep the old content");
  return fchmod(fd, old.st_mode & 07777) == 0;
}

// The folder part of `target` with its "/", and the start every temporary name of that
// target shares: hidden, the target's name cut so that the whole stays within NAME_MAX.
std::pair<std::string, std::string> TemporaryStart(const std::string& target) {
  const size_t slash = target.rfind('/');  // npos + 1 is 0: a bare name starts there
  const size_t room = NAME_MAX - 1 - kRandomPart.size() - kSuffix.size();
  return {target.substr(0, slash + 1), "." + target.substr(slash + 1, room) + "."};
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporary file `path` when no live writer holds its lock.
void RemoveWhenStale(const std::string& path) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat opened {}, named {};
  if (!fd.IsOpen() || flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return;
  // Still the file that was locked, not one made under that name meanwhile.
  if (fstat(fd.Get(), &opened) == 0 && lstat(path.c_str(), &named) == 0 &&
      S_ISREG(named.st_mode) && SameFile(opened, named))
    unlink(path.c_str());
}

void RemoveStaleTemporaries(const std::string& target) {
  const auto [folder, start] = TemporaryStart(target);
  const auto entries = ListFolder(folder.empty() ? "." : folder);
  if (!entries) return;
  for (const FolderEntry& entry : *entries) {
    const std::string& name = entry.name;
    if (name.size() == start.size() + kRandomPart.size() - 1 + kSuffix.size() &&
        name.starts_with(start) && IsTemporaryFileName(name))
      RemoveWhenStale(folder + name);
  }
}

// A fresh temporary file beside `target`, locked where the file system can lock, and armed
// for removal on a signal (`signalSlot`) from the moment it exists; its descriptor, or -1.
int CreateLockedTemporary(const std::string& target, std::string& temporary, int& signalSlot) {
  const auto [folder, start] = TemporaryStart(target);
  // A remover may take a file between its making and its locking: then make another.
  for (int attempt = 0; attempt < 8; ++attempt) {
    temporary = folder + start + std::string(kRandomPart.substr(1)) + std::string(kSuffix);
    int made = -1;
    {
      const EndingSignalsHeld held;
      if (!held.SignalCame()) made = mkostemps(temporary.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
      else errno = EINTR;
      if (made >= 0) signalSlot = ArmRemovalOnSignal(temporary);
    }
    UniqueFd fd(made);
    if (!fd.IsOpen()) return -1;
    const bool heldByRemover = flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    struct stat opened {}, named {};
    if (!heldByRemover && fstat(fd.Get(), &opened) == 0 && lstat(temporary.c_str(), &named) == 0 &&
        SameFile(opened, named))
      return fd.Release();
    DisarmRemovalOnSignal(std::exchange(signalSlot, -1));
  }
  return -1;
}

}  // namespace

bool IsTemporaryFileName(std::string_view name) {
  return name.size() > kSuffix.size() + kRandomPart.size() && name.front() == '.' &&
         name.ends_with(kSuffix);
}

ReplacementFile::~ReplacementFile() { Discard(); }

bool ReplacementFile::Open(const std::string& path) {
  Discard();
  problem_.clear();
  warnings_.clear();
  if (!Aim(path)) return false;
  fd_ = CreateLockedTemporary(target_, temporary_, signalSlot_);
  if (fd_ < 0) {
    problem_ = SystemReason();
    return false;
  }
  failed_ = false;
  TakeOverTarget();
  return true;
}

bool ReplacementFile::Retarget(const std::string& path) {
  if (fd_ < 0) return false;
  const std::string previous = target_;
  if (!Aim(path)) {
    target_ = previous;
    return false;
  }
  warnings_.clear();  // they were of the old target, which stays as it was
  TakeOverTarget();
  return true;
}

bool ReplacementFile::Aim(const std::string& path) {
  target_ = ResolvedTarget(path);
  struct stat existing {};
  if (stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    problem_ = "not a regular file";
    return false;
  }
  RemoveStaleTemporaries(target_);
  return true;
}

void ReplacementFile::TakeOverTarget() {
  // mkostemps makes the file private; the replacement takes what the target has.
  struct stat existing {};
  const bool kept = stat(target_.c_str(), &existing) == 0
                        ? KeepOwnerAndMode(fd_, existing, target_, warnings_)
                        : fchmod(fd_, 0666 & ~CurrentUmask()) == 0;
  if (!kept) Fail(SystemReason());
}

void ReplacementFile::Fail(const std::string& problem) {
  if (!failed_) problem_ = problem;
  failed_ = true;
}

void ReplacementFile::Write(std::string_view piece) {
  if (fd_ < 0 || failed_) return;
  buffer_.append(piece);
  if (buffer_.size() >= kWriteSize) Flush();
}

void ReplacementFile::Flush() {
  if (!failed_ && !WriteAll(fd_, buffer_)) Fail(SystemReason());
  buffer_.clear();
}

bool ReplacementFile::WriteOut() {
  if (fd_ < 0) return false;
  Flush();
  buffer_.shrink_to_fit();
  return !failed_;
}

bool ReplacementFile::Commit() {
  if (fd_ < 0) return false;
  Flush();
  PutInPlace();
  return Finish();
}

bool ReplacementFile::PutInPlace() {
  // Renamed while still open and locked, so no remover takes it in between.
  if (fd_ < 0 || failed_ || placed_ || !buffer_.empty()) return placed_;
  placed_ = rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!placed_) renameError_ = errno;
  return placed_;
}

bool ReplacementFile::Finish() {
  if (fd_ < 0) return false;
  if (!placed_) {
    Fail(renameError_ != 0 ? std::strerror(renameError_) : "not put in place");
    Discard();
    return false;
  }
  Close();
  return true;
}

void ReplacementFile::Discard() {
  if (fd_ >= 0) unlink(temporary_.c_str());
  Close();
}

void ReplacementFile::Close() {
  placed_ = false;
  renameError_ = 0;
  DisarmRemovalOnSignal(std::exchange(signalSlot_, -1));
  if (fd_ >= 0) close(std::exchange(fd_, -1));
  buffer_.clear();
  buffer_.shrink_to_fit();
}

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* problem) {
  ReplacementFile file;
  const bool written = file.Open(path) && (file.Write(content), file.Commit());
  if (problem) *problem = file.Problem();
  return written;
}
