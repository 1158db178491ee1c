#include "platform/DetachedFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace {

TEST(DetachedFileTest, RemovesTheNameAtOnceAndFreesTheFileOnClose) {
  TempDir dir;
  const std::string path = dir.Write("big.log", std::string(256 * 1024, 'x'));
  DetachedFile file;
  ASSERT_TRUE(file.Detach(path));
  EXPECT_FALSE(PathExists(path));
  ASSERT_TRUE(file.IsOpen());
  // A new file of that name is another file.
  dir.Write("big.log", "new");
  EXPECT_EQ(ReadFileForTest(path), "new");

  DetachedFile moved(std::move(file));
  EXPECT_FALSE(file.IsOpen());
  ASSERT_TRUE(moved.IsOpen());
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_EQ(ReadFileForTest(path), "new");
}

TEST(DetachedFileTest, WhatIsNoRegularFileGoesAtOnceAndFoldersStay) {
  TempDir dir;
  const std::string target = dir.Write("target", "kept");
  ASSERT_EQ(symlink(target.c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
  for (const char* name : {"link", "pipe"}) {
    DetachedFile file;
    EXPECT_TRUE(file.Detach(dir / name)) << name;
    EXPECT_FALSE(file.IsOpen()) << name;
    EXPECT_FALSE(PathExists(dir / name)) << name;
  }
  EXPECT_EQ(ReadFileForTest(target), "kept");

  DetachedFile file;
  dir.MakeFolder("folder");
  EXPECT_FALSE(file.Detach(dir / "folder"));
  EXPECT_FALSE(file.Detach(dir / "missing"));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(IsFolder(dir / "folder"));
}

}  // namespace
