#include "platform/FileSystem.h"
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <map>

#include "tests/support/TempDir.h"

namespace {

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  const auto entries = ListFolder(folder);
  for (const FolderEntry& entry : entries.value()) names.push_back(entry.name);
  return names;
}

TEST(ListFolder, ListsEveryEntryButDotsSortedByBytes) {
  TempDir dir;
  dir.Build({{"b.htm", "b"}, {"B.htm", "B"}, {"a", ""}, {"_x", ""}, {".hidden", ""},
             {"Z/", ""}, {"\xC3\xA9t\xC3\xA9.html", ""}, {"a b", ""}});
  const std::vector<std::string> expected = {
      ".hidden", "B.htm", "Z", "_x", "a", "a b", "b.htm", "\xC3\xA9t\xC3\xA9.html"};
  EXPECT_EQ(NamesIn(dir.Path()), expected);
  size_t kinds = 0;
  EXPECT_TRUE(VisitFolderKindsThroughLinks(dir.Path(), [&](const std::string&, EntryKind) { ++kinds; }));
  EXPECT_EQ(kinds, expected.size());
  // A trailing "/" names the same folder; a backslash belongs to a name.
  EXPECT_EQ(NamesIn(dir.Path() + "/"), expected);
  dir.MakeFolder("sub/inner");
  dir.MakeFolder("sub\\/own");
  EXPECT_EQ(NamesIn(dir / "sub\\"), std::vector<std::string>{"own"});
}

TEST(ListFolder, EmptyMissingAndFileFolders) {
  TempDir dir;
  EXPECT_EQ(ListFolder(dir.Path()).value().size(), 0u);
  EXPECT_FALSE(ListFolder(dir / "missing").has_value());
  EXPECT_FALSE(ListFolder(dir.Write("file.txt", "x")).has_value());
  EXPECT_FALSE(VisitFolderKindsThroughLinks(dir / "missing", [](const std::string&, EntryKind) {}));
}

TEST(ListFolder, DanglingLinkIsAPlainFileWithoutStatus) {
  TempDir dir;
  ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "link").c_str()), 0);
  const auto entries = ListFolder(dir.Path()).value();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "link");
  EXPECT_FALSE(entries[0].status.isFolder);
  EXPECT_EQ(entries[0].status.attributes, 0);
  EXPECT_EQ(entries[0].status.lastWriteTime, 0);
}

TEST(FileStatus, AttributeBits) {
  TempDir dir;
  dir.Build({{"plain.htm", "12345"}, {".dot", ""}, {"folder/", ""}, {".dotfolder/", ""},
             {"locked.htm", ""}});
  ASSERT_EQ(chmod((dir / "locked.htm").c_str(), 0444), 0);
  struct Case {
    std::string name;
    uint8_t attributes;
  } cases[] = {{"plain.htm", 0},
               {".dot", kAttrHidden},
               {"folder", kAttrFolder},
               {".dotfolder", kAttrFolder | kAttrHidden},
               {"locked.htm", kAttrReadOnly}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto status = GetFileStatus(dir / c.name);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->attributes, c.attributes);
    EXPECT_EQ(status->isFolder, (c.attributes & kAttrFolder) != 0);
    EXPECT_EQ(IsFolder(dir / c.name), status->isFolder);
  }
  // The listing reports the same bits as the status of each path.
  const auto entries = ListFolder(dir.Path());
  for (const FolderEntry& entry : entries.value())
    EXPECT_EQ(entry.status.attributes, GetFileStatus(dir / entry.name)->attributes) << entry.name;
}

TEST(FileStatus, SizeTimesAndIdentity) {
  TempDir dir;
  const std::string file = dir.Write("page.htm", "12345");
  const auto status = GetFileStatus(file).value();
  EXPECT_EQ(status.size, 5u);
  const int64_t now = std::time(nullptr);
  for (int64_t time : {status.creationTime, status.lastWriteTime, status.lastAccessTime}) {
    EXPECT_GT(time, now - 3600);
    EXPECT_LE(time, now + 1);
  }
  EXPECT_LE(status.creationTime, status.lastWriteTime);

  // A link leads to the same folder: same device and inode.
  ASSERT_EQ(symlink(dir.Path().c_str(), (dir / "self").c_str()), 0);
  const auto folder = GetFileStatus(dir.Path()).value();
  const auto viaLink = GetFileStatus(dir / "self").value();
  EXPECT_TRUE(viaLink.isFolder);
  EXPECT_EQ(viaLink.device, folder.device);
  EXPECT_EQ(viaLink.inode, folder.inode);
  EXPECT_NE(status.inode, folder.inode);

  EXPECT_FALSE(GetFileStatus(dir / "missing").has_value());
  EXPECT_FALSE(PathExists(dir / "missing"));
  EXPECT_FALSE(PathExists(""));
  EXPECT_TRUE(PathExists(file));
  EXPECT_FALSE(IsFolder(file));
}

TEST(FileStatus, TimesBefore1900AreZeroLaterOnesKept) {
  TempDir dir;
  const std::string file = dir.Write("old.htm", "");
  const timespec times[2] = {{-2300000000, 0}, {-2000000000, 0}};  // 1897 and 1906
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  struct stat stored {};
  ASSERT_EQ(stat(file.c_str(), &stored), 0);
  const auto status = GetFileStatus(file).value();
  EXPECT_EQ(status.lastWriteTime, -2000000000);
  // Some file systems clamp old times to December 1901, which is a valid time again.
  constexpr int64_t kYear1900 = -2208988800;
  if (stored.st_atim.tv_sec < kYear1900)
    EXPECT_EQ(status.lastAccessTime, 0);
  else
    EXPECT_EQ(status.lastAccessTime, stored.st_atim.tv_sec);
}

TEST(ReadWholeFile, ReadsBytesAndRefusesFolders) {
  TempDir dir;
  const std::string content = std::string("a\0b\r\n", 5) + std::string(200000, 'x');
  EXPECT_EQ(ReadWholeFile(dir.Write("data.bin", content)), content);
  EXPECT_EQ(ReadWholeFile(dir.Write("empty", "")), "");
  EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
  EXPECT_FALSE(ReadWholeFile(dir / "missing").has_value());
}

TEST(ReadWholeFile, RefusesPipesAndDevicesWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo.htm").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/zero", (dir / "z.htm").c_str()), 0);
  // Either would block or grow without end if it were read; neither is even opened.
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watch, (dir / "fifo.htm").c_str(), IN_OPEN), 0);
  EXPECT_FALSE(ReadWholeFile(dir / "fifo.htm").has_value());
  EXPECT_FALSE(ReadWholeFile(dir / "z.htm").has_value());
  EXPECT_FALSE(RegularFile(dir / "fifo.htm").IsOpen());
  char events[256];
  EXPECT_EQ(read(watch, events, sizeof events), -1);
  close(watch);
}

// A page the folder listing gave as a regular file is opened without a status check first:
// a link or pipe put in its place since must still not be read.
TEST(RegularFile, ListedFileIsOpenedOnlyWhileItIsOne) {
  TempDir dir;
  const std::string page = dir.Write("page.htm", "text");
  ASSERT_EQ(symlink(page.c_str(), (dir / "link.htm").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", (dir / "zero.htm").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "fifo.htm").c_str(), 0644), 0);
  ASSERT_EQ(mkdir((dir / "folder.htm").c_str(), 0755), 0);
  std::map<std::string, EntryKind> kinds;
  ASSERT_TRUE(VisitFolderKinds(dir.Path(), [&](const std::string& name, EntryKind kind) { kinds[name] = kind; }));
  EXPECT_EQ(kinds, (std::map<std::string, EntryKind>{{"fifo.htm", EntryKind::kOther},
                                                     {"folder.htm", EntryKind::kFolder},
                                                     {"link.htm", EntryKind::kOther},
                                                     {"page.htm", EntryKind::kRegularFile},
                                                     {"zero.htm", EntryKind::kOther}}));
  constexpr auto kListed = RegularFile::Known::kListedRegular;
  RegularFile file(page, kListed);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 4u);
  for (const char* name : {"link.htm", "zero.htm", "fifo.htm", "folder.htm", "missing.htm"})
    EXPECT_FALSE(RegularFile(dir / name, kListed).IsOpen()) << name;
  // Unlisted, a link to a page is followed.
  EXPECT_TRUE(RegularFile(dir / "link.htm").IsOpen());
}

TEST(RegularFile, ReadsPieceByPiece) {
  TempDir dir;
  RegularFile file(dir.Write("a.htm", "abcdefg"));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 7u);
  std::string text = "x";
  EXPECT_EQ(file.ReadMore(text, 4), 4);
  EXPECT_EQ(file.ReadMore(text, 100), 3);
  EXPECT_EQ(file.ReadMore(text, 100), 0);
  EXPECT_EQ(text, "xabcdefg");
  EXPECT_EQ(RegularFile(dir / "missing").ReadMore(text, 1), -1);
  EXPECT_EQ(text, "xabcdefg");
}

TEST(WriteFileAtomic, ReplacesWholeWithUsualPermissions) {
  TempDir dir;
  const std::string file = dir.Write("map.html", std::string(5000, 'o'));
  EXPECT_TRUE(WriteFileAtomic(file, "new"));
  EXPECT_EQ(ReadFileForTest(file), "new");

  const mode_t old = umask(022);
  EXPECT_TRUE(WriteFileAtomic(dir / "fresh.html", "x"));
  umask(old);
  struct stat info {};
  ASSERT_EQ(stat((dir / "fresh.html").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"fresh.html", "map.html"}));
}

TEST(WriteFileAtomic, SymlinkStaysAndItsTargetIsReplaced) {
  TempDir dir;
  const std::string real = dir.Write("store/real.folioscribe_options", "old");
  const std::string link = dir / "link.folioscribe_options";
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  EXPECT_TRUE(WriteFileAtomic(link, "new"));
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadFileForTest(real), "new");
  EXPECT_EQ(NamesIn(dir / "store"), std::vector<std::string>{"real.folioscribe_options"});
}

TEST(WriteFileAtomic, ExistingFileKeepsItsMode) {
  TempDir dir;
  const struct {
    const char* name;
    mode_t mode;
  } cases[] = {{"private", 0600}, {"shared", 0664}, {"locked", 0400}};
  const mode_t old = umask(022);
  for (const auto& c : cases) {
    const std::string file = dir.Write(c.name, "old");
    ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
    EXPECT_TRUE(WriteFileAtomic(file, "new")) << c.name;
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, c.mode) << c.name;
    EXPECT_EQ(ReadFileForTest(file), "new") << c.name;
  }
  umask(old);
}

TEST(WriteFileAtomic, NameNearTheLengthLimit) {
  TempDir dir;
  const std::string name(250, 'n');
  EXPECT_TRUE(WriteFileAtomic(dir / name, "x"));
  EXPECT_EQ(ReadFileForTest(dir / name), "x");
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{name});
}

TEST(WriteFileAtomic, FailureLeavesTargetAndNoTemporary) {
  TempDir dir;
  dir.Build({{"out/old.html", "old content"}, {"out/taken/inside", ""}});
  EXPECT_FALSE(WriteFileAtomic(dir / "out/taken", "new"));
  EXPECT_TRUE(IsFolder(dir / "out/taken"));
  EXPECT_FALSE(WriteFileAtomic(dir / "missing/map.html", "new"));
  EXPECT_FALSE(WriteFileAtomic(dir / "out/old.html/map.html", "new"));

  // A file size limit makes the write itself fail, for root too.
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit oldLimit{};
  getrlimit(RLIMIT_FSIZE, &oldLimit);
  rlimit small = oldLimit;
  small.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteFileAtomic(dir / "out/old.html", "a much longer new content");
  setrlimit(RLIMIT_FSIZE, &oldLimit);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileForTest(dir / "out/old.html"), "old content");
  EXPECT_EQ(NamesIn(dir / "out"), (std::vector<std::string>{"old.html", "taken"}));
}

TEST(FileOperations, AppendDeleteRenameCreateFolder) {
  TempDir dir;
  const std::string log = dir / "a.log";
  EXPECT_TRUE(AppendToFile(log, "one\r\n"));
  EXPECT_TRUE(AppendToFile(log, "two\r\n"));
  EXPECT_EQ(ReadFileForTest(log), "one\r\ntwo\r\n");
  EXPECT_FALSE(AppendToFile(dir.Path(), "x"));

  const std::string moved = dir / "b.log";
  dir.Write("b.log", "older");
  EXPECT_TRUE(RenameFile(log, moved));  // replaces an existing target
  EXPECT_EQ(ReadFileForTest(moved), "one\r\ntwo\r\n");
  EXPECT_FALSE(PathExists(log));
  EXPECT_FALSE(RenameFile(log, moved));

  EXPECT_TRUE(DeleteFile(moved));
  EXPECT_FALSE(PathExists(moved));
  EXPECT_FALSE(DeleteFile(moved));
  dir.Write("b.log", "in the way");

  EXPECT_TRUE(CreateFolder(dir / "LOGS"));
  EXPECT_TRUE(IsFolder(dir / "LOGS"));
  EXPECT_FALSE(CreateFolder(dir / "LOGS"));
  EXPECT_FALSE(CreateFolder(dir / "one/two"));  // one level only
  EXPECT_FALSE(PathExists(dir / "one"));

  EXPECT_TRUE(CreateFolders(dir / "one/two/three/"));
  EXPECT_TRUE(IsFolder(dir / "one/two/three"));
  EXPECT_TRUE(CreateFolders(dir / "one/two"));  // already there
  EXPECT_FALSE(CreateFolders(dir / "b.log/sub"));
}

TEST(AppendFile, EachAppendIsInTheFileWhileItStaysOpen) {
  TempDir dir;
  const std::string path = dir / "a.log";
  dir.Write("a.log", "kept\r\n");
  AppendFile file;
  EXPECT_FALSE(file.Append("closed\r\n"));
  ASSERT_TRUE(file.Open(path));
  EXPECT_TRUE(file.Append("one\r\n"));
  EXPECT_EQ(ReadFileForTest(path), "kept\r\none\r\n");
  AppendFile moved = std::move(file);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(moved.Append("two\r\n"));
  EXPECT_EQ(ReadFileForTest(path), "kept\r\none\r\ntwo\r\n");
  moved.Close();
  EXPECT_FALSE(moved.Append("lost\r\n"));

  EXPECT_TRUE(moved.Open(dir / "new.log"));  // created when missing
  EXPECT_TRUE(PathExists(dir / "new.log"));
  EXPECT_FALSE(moved.Open(dir / "missing/b.log"));
  EXPECT_FALSE(moved.IsOpen());
}

}  // namespace
