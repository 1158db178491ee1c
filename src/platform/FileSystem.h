#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Attribute bits of a listed entry.
inline constexpr uint8_t kAttrReadOnly = 0x01;
inline constexpr uint8_t kAttrHidden = 0x02;
inline constexpr uint8_t kAttrSystem = 0x04;
inline constexpr uint8_t kAttrFolder = 0x10;
inline constexpr uint8_t kAttrArchive = 0x20;

// What the file system says of one path (links followed). Times are seconds since 1970,
// passed through local calendar time and back; 0 when unreadable or before the year 1900.
struct FileStatus {
  bool isFolder = false;
  uint64_t size = 0;            // as the file system reports it (also for folders)
  int64_t creationTime = 0;     // birth time where the file system keeps it, else last write
  int64_t lastWriteTime = 0;
  int64_t lastAccessTime = 0;
  uint8_t attributes = 0;       // kAttr* bits; hidden = name starts with "."
  uint64_t device = 0;          // device and inode identify a folder across link paths
  uint64_t inode = 0;
};

// Status of `path`; nullopt when it does not exist or cannot be read.
std::optional<FileStatus> GetFileStatus(const std::string& path);
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
// True when `path` names a regular file (through symlinks).
bool IsRegularFile(const std::string& path);
// The absolute path of `path` with every symlink and "." or ".." step resolved; empty when
// it does not exist.
std::string RealPath(const std::string& path);
// Why reading `path` failed, in the system's words ("Permission denied", "File name too
// long"), "not a regular file" for a device, pipe or socket, "read error" when it can be
// opened. Nothing but a regular file or a folder is opened to find out.
std::string ReadProblem(const std::string& path);

struct FolderEntry {
  std::string name;
  FileStatus status;
};
// The entries of `folder` but "." and "..", sorted by the names' bytes; nullopt when the
// folder cannot be listed. An entry whose status cannot be read is listed as a plain file.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);
// Tells `visit` of each entry as ListFolder lists it, in the order the folder yields them,
// so a caller keeps one copy of a large folder's listing; false when it cannot be listed.
using FolderVisitor = std::function<void(const std::string& name, const FileStatus& status)>;
bool VisitFolder(const std::string& folder, const FolderVisitor& visit);
// What a folder listing says an entry is; a link is neither a folder nor a regular file.
enum class EntryKind { kFolder, kRegularFile, kOther };
// Tells `visit` of each entry's name and kind, from the listing alone where the file system
// says: a whole tree is listed without a status per file. False when `folder` cannot be
// listed.
using FolderKindVisitor = std::function<void(const std::string& name, EntryKind kind)>;
bool VisitFolderKinds(const std::string& folder, const FolderKindVisitor& visit);
// The same with links followed, as VisitFolder tells the kinds: a link to a folder is a
// folder, a dangling link kOther; and where the folder cannot be searched, so that no
// entry has a status, every entry is kOther.
bool VisitFolderKindsThroughLinks(const std::string& folder, const FolderKindVisitor& visit);

// The whole of a regular file, up to the size it had when opened; nullopt when it cannot be
// opened or read, or is no regular file (a folder, a pipe, a device).
std::optional<std::string> ReadWholeFile(const std::string& path);
// Writes `content` through a ReplacementFile (platform/ReplacementFile.h), so `path` holds
// either its old content or the whole new one. False on any failure, which leaves `path`
// untouched; `problem`, when given, then learns why in the system's words.
bool WriteFileAtomic(const std::string& path, const std::string& content,
                     std::string* problem = nullptr);
// Appends to `path`, creating it when missing; false when it is no regular file.
bool AppendToFile(const std::string& path, const std::string& content);

// A file kept open for appending, for many small writes. Each Append is one write at the
// file's end, so a reader sees whole appends while the file stays open.
class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(AppendFile&& other) noexcept;
  AppendFile& operator=(AppendFile&& other) noexcept;
  ~AppendFile();

  // Opens `path`, creating it when missing and closing the file open before; false on
  // failure or when `path` is no regular file (a pipe, a device), which leaves this closed.
  // Never waits.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  // False when closed or the write fails.
  bool Append(const std::string& content);
  void Close();

 private:
  int fd_ = -1;
};
bool DeleteFile(const std::string& path);
// Moves `from` to `to`, replacing a file already there.
bool RenameFile(const std::string& from, const std::string& to);
// Creates one folder (not its parents).
bool CreateFolder(const std::string& path);
// Creates `path` and the folders above it that are missing (those made readable by the
// user only); true when the folder exists afterwards.
bool CreateFolders(const std::string& path);
