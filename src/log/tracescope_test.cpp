#include "log/TraceScope.h"

#include <gtest/gtest.h>

#include "log/TraceLogTesting.h"

namespace {

// Indentation and message of each line; the duration of a "Leaving: " line is checked
// for its form and then left out.
std::vector<std::pair<size_t, std::string>> Shape(const std::vector<LogLine>& lines) {
  static const std::regex kLeaving(R"((Leaving: .*) \[(\d+(\.\d+)?(E[+-]\d+)?) ms\])");
  std::vector<std::pair<size_t, std::string>> shape;
  for (const LogLine& line : lines) {
    std::smatch m;
    const bool leaving = std::regex_match(line.message, m, kLeaving);
    if (line.message.starts_with("Leaving: ")) {
      EXPECT_TRUE(leaving) << line.message;
    }
    shape.emplace_back(line.indent, leaving ? m[1].str() : line.message);
  }
  return shape;
}

using Shapes = std::vector<std::pair<size_t, std::string>>;

TEST_F(TraceLogTest, ScopesIndentTheirThread) {
  log_.Write("T", "s.cpp", 1, "first");
  {
    TraceScope outer("T", "Outer()", "s.cpp", 10);
    log_.Write("T", "s.cpp", 11, "inside");
    log_.Write("Other", "s.cpp", 12, "other thread");
    { TraceScope inner("T", "Inner()", "s.cpp", 20); }
  }
  log_.Write("T", "s.cpp", 30, "after");
  EXPECT_EQ(Shape(ReadLog(LogFile("T"))), (Shapes{{0, "first"},
                                                  {1, "Entering: Outer()"},
                                                  {1, "inside"},
                                                  {2, "Entering: Inner()"},
                                                  {2, "Leaving: Inner()"},
                                                  {1, "Leaving: Outer()"},
                                                  {0, "after"}}));
  EXPECT_EQ(ReadLog(LogFile("Other")).at(0).indent, 0u);
}

TEST_F(TraceLogTest, ScopeOfAFreshThreadEndsAtDepthMinusOne) {
  { TraceScope scope("Fresh", "Run()", "s.cpp", 5); }
  log_.Write("Fresh", "s.cpp", 6, "not indented");
  log_.ChangeDepth("Fresh", 2);
  log_.Write("Fresh", "s.cpp", 7, "one deep");
  EXPECT_EQ(Shape(ReadLog(LogFile("Fresh"))), (Shapes{{0, "Entering: Run()"},
                                                      {0, "Leaving: Run()"},
                                                      {0, "not indented"},
                                                      {1, "one deep"}}));
}

TEST_F(TraceLogTest, ScopeUnderLogOffWritesNothingAndKeepsDepth) {
  log_.Write("T", "s.cpp", 1, "first");
  log_.SetLogOff(true);
  {
    TraceScope quiet("T", "Quiet()", "s.cpp", 2);
    log_.SetLogOff(false);  // a scope begun while off stays silent
  }
  {
    TraceScope cut("T", "Cut()", "s.cpp", 3);
    log_.SetLogOff(true);
  }
  log_.SetLogOff(false);
  log_.Write("T", "s.cpp", 4, "still inside Cut");
  EXPECT_EQ(Shape(ReadLog(LogFile("T"))),
            (Shapes{{0, "first"}, {1, "Entering: Cut()"}, {1, "still inside Cut"}}));
}

TEST_F(TraceLogTest, ShortScopeNamesTheCaller) {
  log_.Write("", "s.cpp", 1, "first");
  const int line = __LINE__ + 1;
  { TraceScope scope("CFolioscribeApp::InitInstance()"); }
  const auto lines = ReadLog(LogFile("MainThread"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].message, "Entering: CFolioscribeApp::InitInstance()");
  EXPECT_EQ(lines[1].sourceFile, "tracescope_test.cpp");
  EXPECT_EQ(lines[1].line, line);
  EXPECT_EQ(lines[2].line, line);
}

TEST(FormatMilliseconds, GeneralFormat) {
  const struct {
    double milliseconds;
    const char* text;
  } cases[] = {{15, "15"}, {1234567.8, "1.23457E+06"}, {0.5, "0.5"}, {999999.4, "999999"},
               {0.00001, "1E-05"}};
  for (const auto& c : cases) EXPECT_EQ(FormatMilliseconds(c.milliseconds), c.text) << c.text;
}

}  // namespace
