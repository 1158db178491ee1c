#include "platform/Program.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/FileSystem.h"
#include "platform/Messages.h"

namespace {

TEST(Program, PathAndFolderOfTheRunningExecutable) {
  const std::string path = ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "folioscribe_platform_test");
  EXPECT_EQ(ProgramFolder(), path.substr(0, path.rfind('/')));
  EXPECT_TRUE(IsFolder(ProgramFolder()));
}

TEST(Program, CoarseSteadyTimeReadsTheSteadyClock) {
  // Same clock, coarser grain: the two readings lie within a few milliseconds, and the
  // coarse one never goes back.
  const auto coarse = CoarseSteadyTime();
  const auto fine = std::chrono::steady_clock::now();
  EXPECT_LT(std::chrono::abs(fine - coarse), std::chrono::seconds(1));
  EXPECT_GE(CoarseSteadyTime(), coarse);
}

TEST(ConsoleMessageSink, PrefixesEachMessageAndWritesItOnOneLine) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"Start directory not found!", "folioscribe: Start directory not found!\n"},
      {"one\r\ntwo\r\n", "folioscribe: one two\n"},
      {"/tmp/nope\r\ndoesn't exist", "folioscribe: /tmp/nope doesn't exist\n"},
      {"lone\rcr\nlf", "folioscribe: lone\rcr\nlf\n"},
      {"", "folioscribe: \n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    ConsoleMessageSink sink(out);
    sink.ShowMessage(c.text);
    EXPECT_EQ(out.str(), c.expected) << c.text;
  }
}

}  // namespace
