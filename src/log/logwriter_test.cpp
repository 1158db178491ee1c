#include "log/LogWriter.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"

namespace {

TEST(LogWriterTest, PiecesReachTheirFilesInOrderAndFinishWritesThemAll) {
  TempDir dir;
  AppendFile first, second;
  ASSERT_TRUE(first.Open(dir / "first.log"));
  ASSERT_TRUE(second.Open(dir / "second.log"));
  std::string expectedFirst, expectedSecond;
  LogWriter writer;
  // Many more pieces than may wait: the caller waits for room now and then.
  for (int i = 0; i < 40 * static_cast<int>(LogWriter::kMaxWaiting); ++i) {
    AppendFile& file = i % 3 == 0 ? second : first;
    std::string text = "piece " + std::to_string(i) + std::string(static_cast<size_t>(i % 7) * 500, '.') + "\n";
    (i % 3 == 0 ? expectedSecond : expectedFirst) += text;
    writer.Queue(file, text);
    ASSERT_TRUE(text.empty()) << i;
  }
  writer.Finish();
  EXPECT_EQ(ReadFileForTest(dir / "first.log"), expectedFirst);
  EXPECT_EQ(ReadFileForTest(dir / "second.log"), expectedSecond);

  // A finished writer starts again on the next piece.
  std::string text = "after finishing\n";
  writer.Queue(first, text);
  writer.Finish();
  EXPECT_EQ(ReadFileForTest(dir / "first.log"), expectedFirst + "after finishing\n");
}

TEST(LogWriterTest, WriterThatGoesWritesWhatWaits) {
  TempDir dir;
  AppendFile file;
  ASSERT_TRUE(file.Open(dir / "a.log"));
  std::string expected;
  {
    LogWriter writer;
    for (int i = 0; i < 10; ++i) {
      std::string text = "line " + std::to_string(i) + "\n";
      expected += text;
      writer.Queue(file, text);
    }
  }
  EXPECT_EQ(ReadFileForTest(dir / "a.log"), expected);
}

}  // namespace
