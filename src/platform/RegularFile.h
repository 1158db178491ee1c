#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/UniqueFd.h"

// A regular file open for reading, read piece by piece. Nothing else is ever opened: a
// pipe would wait for a writer, and a device may never end or act on being opened.
class RegularFile {
 public:
  // What the caller knows of `path`: nothing, or that a folder listing just gave it as a
  // regular file, no link, which spares a status check before opening: it is opened without
  // following a link, so one put in its place since fails to open.
  enum class Known { kNothing, kListedRegular };
  // Opens `path` when it names a regular file (through symlinks, unless listed); else
  // nothing is opened.
  explicit RegularFile(const std::string& path, Known known = Known::kNothing);
  bool IsOpen() const { return fd_.IsOpen(); }
  // As when opened.
  uint64_t Size() const { return static_cast<uint64_t>(info_.st_size); }
  // Device and inode: the same file under any of its paths.
  uint64_t Device() const { return info_.st_dev; }
  uint64_t Inode() const { return info_.st_ino; }
  // Appends up to `count` bytes to `buffer`: the number appended, 0 at the end of the file,
  // -1 on a read error or when not open.
  int64_t ReadMore(std::string& buffer, size_t count);

 private:
  struct stat info_ {};
  UniqueFd fd_;
};
