#include <algorithm>

#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "sitemap/SiteItem.h"

bool SiteItem::IsFolder() const { return (attributes & kAttrFolder) != 0; }

int64_t ItemTime(const SiteItem& item) {
  return item.IsFolder() ? item.creationTime : item.lastWriteTime;
}

bool IsIndexPage(const std::string& path) {
  const std::string_view name = NamePartsOf(path).name;
  return EqualsNoCase(name, "index.htm") || EqualsNoCase(name, "index.html");
}

namespace {

// A folder's last-write time of January 1970 is a file system that keeps none; its
// creation time says more.
bool InJanuary1970(int64_t time) { return FormatLocalTime(time, "%Y-%m") == "1970-01"; }

SiteItem ItemOf(const std::string& path, const FileStatus& status) {
  SiteItem item;
  item.path = path;
  item.creationTime = status.creationTime;
  item.lastWriteTime = status.lastWriteTime;
  item.lastAccessTime = status.lastAccessTime;
  item.attributes = status.attributes;
  if (status.isFolder) {
    item.attributes |= kAttrFolder;
    if (InJanuary1970(item.lastWriteTime)) item.lastWriteTime = item.creationTime;
  } else {
    item.size = status.size;
  }
  return item;
}

}  // namespace

SiteItem ItemAt(const std::string& path) {
  const auto status = GetFileStatus(path);
  return status ? ItemOf(path, *status) : SiteItem{.path = path};
}

// Items are made as the entries come, so a large folder's listing is held once. The folder
// is read once: counting its entries first would cost a second reading.
int64_t ScanFolder(const std::string& folder, SiteItemList& list, EntryDetail detail) {
  const size_t before = list.size();
  const bool listed =
      detail == EntryDetail::kStatus
          ? VisitFolder(folder, [&](const std::string& name, const FileStatus& status) {
              list.push_back(ItemOf(ChildPath(folder, name), status));
            })
          : VisitFolderKindsThroughLinks(folder, [&](const std::string& name, EntryKind kind) {
              const bool isFolder = kind == EntryKind::kFolder;
              list.push_back({.path = ChildPath(folder, name), .attributes = isFolder ? kAttrFolder : uint8_t(0)});
            });
  if (!listed) return -1;
  // The paths share the folder: the order of their names is the listing's order.
  const size_t nameStart = ChildPath(folder, "").size();
  std::sort(list.begin() + static_cast<std::ptrdiff_t>(before), list.end(), [&](const SiteItem& a, const SiteItem& b) {
    return std::string_view(a.path).substr(nameStart) < std::string_view(b.path).substr(nameStart);
  });
  return static_cast<int64_t>(list.size() - before);
}
