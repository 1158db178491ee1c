#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tests/support/TempDir.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "sitemap/SiteItem.h"

namespace fsys = std::filesystem;

TEST(ScanFolder, AppendsEveryEntryInListingOrder) {
  TempDir dir;
  dir.Build({{"b.htm", "12345"}, {".hidden", ""}, {"sub/", ""}, {"sub/inner.htm", "x"}});
  SiteItemList list(1);  // an entry from before must stay
  EXPECT_EQ(ScanFolder(dir.Path() + "/", list), 3);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[1].path, dir / ".hidden");
  EXPECT_TRUE(list[1].attributes & kAttrHidden);
  EXPECT_EQ(list[2].path, dir / "b.htm");
  EXPECT_EQ(list[2].size, 5u);
  EXPECT_FALSE(list[2].IsFolder());
  EXPECT_EQ(list[3].path, dir / "sub");
  EXPECT_TRUE(list[3].IsFolder());
  EXPECT_EQ(list[3].size, 0u);
}

TEST(ScanFolder, EmptyFolderGivesZeroAndMissingOneMinusOne) {
  TempDir dir;
  dir.MakeFolder("empty");
  SiteItemList list;
  EXPECT_EQ(ScanFolder(dir / "empty", list), 0);
  EXPECT_EQ(ScanFolder(dir / "missing", list), -1);
  EXPECT_TRUE(list.empty());
}

TEST(ScanFolder, FolderWrittenInJanuary1970TakesItsCreationTime) {
  TempDir dir;
  dir.Build({{"old/", ""}, {"old.txt", ""}});
  // Mid-January 1970 lies in January in every time zone.
  const auto january1970 = fsys::file_time_type::clock::from_sys(
      std::chrono::sys_seconds(std::chrono::seconds(14 * 86400)));
  fsys::last_write_time(dir / "old", january1970);
  fsys::last_write_time(dir / "old.txt", january1970);
  SiteItemList list;
  ASSERT_EQ(ScanFolder(dir.Path(), list), 2);
  const SiteItem& folder = list[0];
  const SiteItem& file = list[1];
  ASSERT_TRUE(folder.IsFolder());
  ASSERT_EQ(FormatLocalTime(file.lastWriteTime, "%Y-%m"), "1970-01");
  // Without a birth time the creation time is the last write, and the rule shows nothing.
  if (file.creationTime == file.lastWriteTime) GTEST_SKIP() << "no birth times kept here";
  EXPECT_EQ(folder.lastWriteTime, folder.creationTime);
  EXPECT_NE(folder.lastWriteTime, file.lastWriteTime);
}

TEST(ScanFolder, KindsAloneListTheEntriesAsStatusesDo) {
  TempDir dir;
  dir.Build({{"a.htm", "12345"}, {"sub/", ""}, {"sub/inner.htm", "x"}, {"closed/", ""}, {"closed/in/", ""}});
  fsys::create_directory_symlink(dir / "sub", dir / "to-sub");
  fsys::create_symlink(dir / "a.htm", dir / "to-a.htm");
  fsys::create_symlink(dir / "gone", dir / "dangling");
  fsys::permissions(dir / "closed", fsys::perms::owner_read);  // listed, but no entry's status read
  for (const std::string& folder : {dir.Path(), dir / "closed"}) {
    SiteItemList statuses, kinds;
    EXPECT_GT(ScanFolder(folder, statuses, EntryDetail::kStatus), 0);
    EXPECT_EQ(ScanFolder(folder, kinds, EntryDetail::kKind), static_cast<int64_t>(statuses.size()));
    for (size_t i = 0; i < std::min(kinds.size(), statuses.size()); ++i) {
      EXPECT_EQ(kinds[i].path, statuses[i].path);
      EXPECT_EQ(kinds[i].IsFolder(), statuses[i].IsFolder()) << kinds[i].path;
      EXPECT_EQ(kinds[i].size + uint64_t(kinds[i].lastWriteTime), 0u);  // nothing else read
    }
  }
  fsys::permissions(dir / "closed", fsys::perms::owner_all);
  SiteItemList kinds;
  ScanFolder(dir.Path(), kinds, EntryDetail::kKind);
  std::string folders;
  for (const SiteItem& item : kinds) folders += item.IsFolder() ? PathName(item.path) + " " : "";
  EXPECT_EQ(folders, "closed sub to-sub ");
}
