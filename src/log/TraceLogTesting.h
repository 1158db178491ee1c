#pragma once
// Test helpers: a fixture with the log in a temporary folder, and a parser of log lines.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

struct LogLine {
  uint32_t counter = 0;
  size_t indent = 0;
  std::string message, time, sourceFile;
  int32_t line = 0;
};

// The lines of a log file's `content`, each checked against the exact format; a line that
// does not match fails the test.
inline std::vector<LogLine> ParseLog(const std::string& content) {
  static const std::regex kLine(
      R"(^(\d+):( *)(.*) \((\d\d [A-Za-z]{3}, \d\d:\d\d:\d\d),File:(.*), Line:(-?\d+)\)$)");
  std::vector<LogLine> lines;
  size_t start = 0;
  for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string text = content.substr(start, end - start);
    std::smatch m;
    if (text.find_first_of("\r\n") != std::string::npos || !std::regex_match(text, m, kLine)) {
      ADD_FAILURE() << "malformed line: " << text;
      continue;
    }
    lines.push_back({static_cast<uint32_t>(std::stoul(m[1])), static_cast<size_t>(m[2].length()),
                     m[3], m[4], m[5], std::stoi(m[6])});
  }
  EXPECT_EQ(start, content.size()) << "unterminated line";
  return lines;
}

// The lines of the log file `path`, the waiting lines written first.
inline std::vector<LogLine> ReadLog(const std::string& path) {
  TraceLog::Instance().Flush();
  return ParseLog(ReadWholeFile(path).value_or(""));
}

// Each test logs into a fresh folder as a fresh program run.
class TraceLogTest : public testing::Test {
 protected:
  void SetUp() override {
    log_.SetLogOff(false);
    log_.SetFolderForTesting(logs_);
    log_.ResetForTesting();
  }
  void TearDown() override {
    log_.SetLogOff(false);
    log_.SetFileLimitForTesting(0);
    log_.SetFolderForTesting("");
    log_.ResetForTesting();
  }
  std::string LogFile(const std::string& name) const {
    return logs_ + "/folioscribe_log_test." + name + ".log";
  }

  TempDir dir_;
  const std::string logs_ = dir_ / "LOGS";
  TraceLog& log_ = TraceLog::Instance();
};
