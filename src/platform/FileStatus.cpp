#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <unordered_map>

#include "platform/FileSystem.h"
#include "platform/UniqueFd.h"

namespace {

// Seconds since 1970 passed through local calendar time and back, as every listed time is;
// 0 when either step fails or the local year is before 1900.
int64_t ThroughLocalTime(time_t time) {
  tm local{};
  if (!localtime_r(&time, &local) || local.tm_year < 0) return 0;
  local.tm_isdst = -1;
  const time_t back = mktime(&local);
  return back == -1 ? 0 : back;
}

// The round trip for many times at once. The way back (mktime) checks the time-zone file
// on every call, and the entries of one folder mostly share their times.
class LocalTimeRoundTrips {
 public:
  int64_t Of(time_t time) {
    const auto [known, added] = results_.try_emplace(time, 0);
    if (added) known->second = ThroughLocalTime(time);
    return known->second;
  }

 private:
  std::unordered_map<time_t, int64_t> results_;
};

// Birth time where the file system keeps one, else the last-write time.
time_t CreationTime(const struct statx& info) {
  return (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
}

// The name that decides the hidden bit: the last component, trailing "/" ignored.
bool IsHiddenName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

// One statx call answers everything, the birth time included: a stat and a statx per
// entry cost twice the system calls.
std::optional<FileStatus> StatusAt(int folderFd, const std::string& name,
                                   LocalTimeRoundTrips& roundTrips) {
  struct statx info {};
  if (statx(folderFd, name.c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME,
            &info) != 0)
    return std::nullopt;
  FileStatus status;
  status.isFolder = S_ISDIR(info.stx_mode);
  status.size = info.stx_size;
  status.creationTime = roundTrips.Of(CreationTime(info));
  status.lastWriteTime = roundTrips.Of(info.stx_mtime.tv_sec);
  status.lastAccessTime = roundTrips.Of(info.stx_atime.tv_sec);
  if (status.isFolder) status.attributes |= kAttrFolder;
  if (IsHiddenName(name)) status.attributes |= kAttrHidden;
  // The owner's write bit, not access(): root may write anything, yet a file without
  // write permission is still what the user calls read-only.
  if (!(info.stx_mode & S_IWUSR)) status.attributes |= kAttrReadOnly;
  status.device = makedev(info.stx_dev_major, info.stx_dev_minor);
  status.inode = info.stx_ino;
  return status;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::optional<FileStatus> GetFileStatus(const std::string& path) {
  if (path.empty()) return std::nullopt;
  LocalTimeRoundTrips roundTrips;
  return StatusAt(AT_FDCWD, path, roundTrips);
}

// The two questions below need no times; a plain stat answers them.
bool PathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string RealPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return "";
  std::string real = resolved;
  std::free(resolved);
  return real;
}

std::string ReadProblem(const std::string& path) {
  char buffer[256];
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return strerror_r(errno, buffer, sizeof buffer);
  if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) return "not a regular file";
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  return fd.IsOpen() ? "read error" : strerror_r(errno, buffer, sizeof buffer);
}

bool VisitFolder(const std::string& folder, const FolderVisitor& visit) {
  const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  LocalTimeRoundTrips roundTrips;
  std::string name;
  while (const dirent* entry = readdir(dir.get())) {
    name = entry->d_name;
    if (name == "." || name == "..") continue;
    // A dangling link has no status; it still is an entry of the folder.
    visit(name, StatusAt(dirfd(dir.get()), name, roundTrips).value_or(FileStatus{}));
  }
  return true;
}

namespace {

// The kind of a listed entry; its status is read only where the listing does not say.
EntryKind KindOf(int folderFd, const dirent& entry) {
  struct stat info {};
  if (entry.d_type == DT_UNKNOWN && fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(info.st_mode)) return EntryKind::kFolder;
    if (S_ISREG(info.st_mode)) return EntryKind::kRegularFile;
  }
  if (entry.d_type == DT_DIR) return EntryKind::kFolder;
  if (entry.d_type == DT_REG) return EntryKind::kRegularFile;
  return EntryKind::kOther;
}

// The same through a link, whose target's status tells it; kOther where there is none.
EntryKind KindThroughLinks(int folderFd, const dirent& entry) {
  struct stat info {};
  if ((entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) || fstatat(folderFd, entry.d_name, &info, 0) != 0)
    return KindOf(folderFd, entry);
  if (S_ISDIR(info.st_mode)) return EntryKind::kFolder;
  return S_ISREG(info.st_mode) ? EntryKind::kRegularFile : EntryKind::kOther;
}

// Lists `folder`, telling `visit` each entry's name and the kind `kindOf` finds.
bool VisitWithKinds(const std::string& folder, const FolderKindVisitor& visit,
                    EntryKind (*kindOf)(int folderFd, const dirent& entry)) {
  const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  std::string name;
  while (const dirent* entry = readdir(dir.get())) {
    name = entry->d_name;
    if (name == "." || name == "..") continue;
    visit(name, kindOf(dirfd(dir.get()), *entry));
  }
  return true;
}

}  // namespace

bool VisitFolderKinds(const std::string& folder, const FolderKindVisitor& visit) {
  return VisitWithKinds(folder, visit, KindOf);
}

bool VisitFolderKindsThroughLinks(const std::string& folder, const FolderKindVisitor& visit) {
  // Where no entry's status can be read, VisitFolder tells each as a plain file.
  if (faccessat(AT_FDCWD, folder.c_str(), X_OK, AT_EACCESS) != 0)
    return VisitWithKinds(folder, visit, [](int, const dirent&) { return EntryKind::kOther; });
  return VisitWithKinds(folder, visit, KindThroughLinks);
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  if (!VisitFolder(folder, [&](const std::string& name, const FileStatus& status) {
        entries.push_back({name, status});
      }))
    return std::nullopt;
  // Byte order, so the listing is the same on every machine.
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}
