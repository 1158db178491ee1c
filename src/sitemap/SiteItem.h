#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One entry of a folder listing.
struct SiteItem {
  std::string path;           // listed folder, "/", entry name
  uint64_t size = 0;          // 0 for a folder
  int64_t creationTime = 0;   // seconds since 1970, 0 when unreadable
  int64_t lastWriteTime = 0;  // a folder's creation time when this falls in January 1970
  int64_t lastAccessTime = 0;
  uint8_t attributes = 0;     // kAttr* bits of platform/FileSystem.h
  int32_t linkCount = 0;      // filled by the link-count ordering, and for "%fLinkCount%"

  bool IsFolder() const;
};

// The time the date macros show: a folder's creation time, a file's last-write time.
int64_t ItemTime(const SiteItem& item);

using SiteItemList = std::vector<SiteItem>;

// The item at `path` (forward slashes) as the file system describes it now; only its path
// when it has no status.
SiteItem ItemAt(const std::string& path);

// What a listing reads of each entry: its kind alone (whether it is a folder; no size,
// times or other attributes), or its whole status.
enum class EntryDetail { kKind, kStatus };

// Appends the direct entries of `folder` (not "." and "..") to `list` in listing order
// and returns how many; -1 when the folder cannot be listed, leaving `list` untouched.
int64_t ScanFolder(const std::string& folder, SiteItemList& list, EntryDetail detail = EntryDetail::kStatus);

// True for a page named "index.htm" or "index.html", in any letter case.
bool IsIndexPage(const std::string& path);
