#include "log/TraceLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "common/Text.h"
#include "log/TraceLogTesting.h"
#include "platform/Program.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::string> Messages(const std::vector<LogLine>& lines) {
  std::vector<std::string> messages;
  for (const LogLine& line : lines) messages.push_back(line.message);
  return messages;
}

using Texts = std::vector<std::string>;

// A log file as its closing left it: its lines, the count of left-out lines last.
struct ClosedLog {
  std::string content;
  std::vector<LogLine> lines;
  size_t lastLineStart = 0;  // where the line of the count begins
};

ClosedLog ReadClosedLog(const std::string& path) {
  ClosedLog log;
  log.content = ReadWholeFile(path).value_or("");
  log.lines = ParseLog(log.content);
  if (log.content.size() > 2) log.lastLineStart = log.content.rfind("\r\n", log.content.size() - 3) + 2;
  return log;
}

TEST_F(TraceLogTest, LineFormat) {
  const int64_t before = CurrentTime();
  log_.Write("Worker", "Run.cpp", 42, "Hello (world), Line:7");
  Trace("short form");
  const int line = __LINE__ - 1;
  const int64_t after = CurrentTime();

  const auto lines = ReadLog(LogFile("Worker"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].counter, 0u);
  EXPECT_EQ(lines[0].indent, 0u);
  EXPECT_EQ(lines[0].message, "Hello (world), Line:7");
  EXPECT_EQ(lines[0].sourceFile, "Run.cpp");
  EXPECT_EQ(lines[0].line, 42);
  bool timeInRun = false;
  for (int64_t t = before; t <= after; ++t)
    timeInRun |= lines[0].time == FormatLocalTime(t, "%d %b, %H:%M:%S");
  EXPECT_TRUE(timeInRun) << lines[0].time;

  const auto main = ReadLog(LogFile("MainThread"));
  ASSERT_EQ(main.size(), 1u);
  EXPECT_EQ(main[0].counter, 1u);
  EXPECT_EQ(main[0].message, "short form");
  EXPECT_EQ(main[0].sourceFile, "tracelog_test.cpp");
  EXPECT_EQ(main[0].line, line);
}

// A logged name can neither forge a log line nor drive the terminal of a viewer.
TEST_F(TraceLogTest, NamesInMessagesAreEscaped) {
  log_.Write("T", "a.cpp", 1, "ScanFolder()-/s/o\r\n2: fake\x1b[2J\xff\\x");
  log_.Flush();
  const std::string raw = ReadFileForTest(LogFile("T"));
  EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), 1) << raw;
  EXPECT_EQ(Messages(ReadLog(LogFile("T"))), Texts{"ScanFolder()-/s/o\\r\\n2: fake\\x1b[2J\\xff\\\\x"});
}

TEST_F(TraceLogTest, RotatesOncePerThreadNamePerRun) {
  log_.Write("T", "a.cpp", 1, "run 1 a");
  log_.Write("T", "a.cpp", 2, "run 1 b");
  EXPECT_EQ(Messages(ReadLog(LogFile("T"))), (Texts{"run 1 a", "run 1 b"}));
  EXPECT_FALSE(PathExists(LogFile("T.prev")));

  log_.ResetForTesting();
  log_.Write("T", "a.cpp", 1, "run 2");
  EXPECT_EQ(Messages(ReadLog(LogFile("T"))), Texts{"run 2"});
  EXPECT_EQ(Messages(ReadLog(LogFile("T.prev"))), (Texts{"run 1 a", "run 1 b"}));
  EXPECT_EQ(ReadLog(LogFile("T"))[0].counter, 0u);

  // The next run replaces the older previous log.
  log_.ResetForTesting();
  log_.Write("T", "a.cpp", 1, "run 3");
  EXPECT_EQ(Messages(ReadLog(LogFile("T.prev"))), Texts{"run 2"});

  // A run that finds no log keeps the older previous log.
  ASSERT_TRUE(DeleteFile(LogFile("T")));
  log_.ResetForTesting();
  log_.Write("T", "a.cpp", 1, "run 4");
  EXPECT_EQ(Messages(ReadLog(LogFile("T"))), Texts{"run 4"});
  EXPECT_EQ(Messages(ReadLog(LogFile("T.prev"))), Texts{"run 2"});
}

TEST_F(TraceLogTest, FlushHooksWriteEveryWaitingLineInOrder) {
  // The file as it stands, without flushing first.
  const auto onDisk = [](const std::string& path) { return Messages(ParseLog(ReadWholeFile(path).value_or(""))); };
  log_.Write("T", "a.cpp", 1, "one");
  log_.Write("T", "a.cpp", 2, "two");
  log_.Flush();
  EXPECT_EQ(onDisk(LogFile("T")), (Texts{"one", "two"}));

  // A new run writes the waiting lines before moving the file aside.
  log_.Write("T", "a.cpp", 3, "three");
  log_.ResetForTesting();
  EXPECT_EQ(onDisk(LogFile("T")), (Texts{"one", "two", "three"}));
  log_.Write("T", "a.cpp", 1, "four");
  log_.Flush();
  EXPECT_EQ(onDisk(LogFile("T")), Texts{"four"});
  EXPECT_EQ(onDisk(LogFile("T.prev")), (Texts{"one", "two", "three"}));

  // A change of folder writes the waiting lines to the old one first.
  log_.Write("T", "a.cpp", 2, "five");
  const std::string other = dir_ / "OTHER";
  log_.SetFolderForTesting(other);
  EXPECT_EQ(onDisk(LogFile("T")), (Texts{"four", "five"}));
  log_.Write("T", "a.cpp", 1, "six");
  log_.Flush();
  EXPECT_EQ(onDisk(other + "/folioscribe_log_test.T.log"), Texts{"six"});
}

TEST_F(TraceLogTest, LinesBeyondOneBufferArriveWholeAndInOrder) {
  constexpr uint32_t kLines = 3000;  // about 300 KB: several full buffers
  const std::string padding(60, 'x');
  for (uint32_t i = 0; i < kLines; ++i) log_.Write("T", "a.cpp", 1, "line " + std::to_string(i) + padding);
  const auto lines = ReadLog(LogFile("T"));
  ASSERT_EQ(lines.size(), kLines);
  for (uint32_t i = 0; i < kLines; ++i) {
    ASSERT_EQ(lines[i].counter, i);
    ASSERT_EQ(lines[i].message, "line " + std::to_string(i) + padding);
  }
  // Each counter is spelled from the one before: where the digits carry, too.
  const std::string content = ReadWholeFile(LogFile("T")).value_or("");
  EXPECT_TRUE(content.starts_with("0:line 0x"));
  for (const char* counter : {"9", "10", "99", "100", "199", "200", "999", "1000", "2999"})
    EXPECT_NE(content.find("\r\n" + std::string(counter) + ":line " + counter + "x"), std::string::npos) << counter;
  log_.ResetForTesting();  // the counter starts again
  log_.Write("T", "a.cpp", 1, "again");
  log_.Flush();
  EXPECT_TRUE(ReadWholeFile(LogFile("T")).value_or("").starts_with("0:again"));
}

TEST_F(TraceLogTest, EmptyNameIsMainThread) {
  log_.Write("", "a.cpp", 1, "one");
  log_.Write("MainThread", "a.cpp", 2, "two");
  log_.ChangeDepth("", 2);
  log_.Write("MainThread", "a.cpp", 3, "three");
  const auto lines = ReadLog(LogFile("MainThread"));
  EXPECT_EQ(Messages(lines), (Texts{"one", "two", "three"}));
  EXPECT_EQ(lines.back().indent, 2u);
  EXPECT_FALSE(PathExists(LogFile("")));
  EXPECT_FALSE(PathExists(LogFile("MainThread.prev")));
}

TEST_F(TraceLogTest, LogOffCreatesNothing) {
  log_.SetLogOff(true);
  EXPECT_TRUE(log_.IsLogOff());
  log_.Write("T", "a.cpp", 1, "lost");
  Trace("lost too");
  EXPECT_FALSE(PathExists(logs_));

  log_.SetLogOff(false);
  log_.Write("T", "a.cpp", 1, "kept");
  const auto lines = ReadLog(LogFile("T"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].counter, 0u);
}

TEST_F(TraceLogTest, FileStopsAtItsLimitAndItsLastLineSaysHowManyLinesWereLeftOut) {
  constexpr uint64_t kLimit = 2000;
  log_.SetFileLimitForTesting(kLimit);
  const auto writeLines = [this](const std::string& thread, int count) {
    for (int i = 0; i < count; ++i) log_.Write(thread, "a.cpp", i, "line " + std::to_string(i) + std::string(40, 'x'));
  };
  EXPECT_FALSE(log_.LeavesOut("T", 7));  // not full yet: the caller writes its lines
  writeLines("T", 90);
  // Full: lines a caller spares making count as left out all the same.
  EXPECT_TRUE(log_.LeavesOut("T", 10));
  EXPECT_FALSE(log_.LeavesOut("Other", 10));
  log_.Write("Other", "a.cpp", 1, "another thread's file has a limit of its own");
  log_.Flush();
  const std::string beforeClosing = ReadWholeFile(LogFile("T")).value_or("");
  log_.SetFolderForTesting(logs_);  // closes the files, as the exit does
  const auto [content, lines, lastLineStart] = ReadClosedLog(LogFile("T"));
  ASSERT_GE(lines.size(), 2u);
  const size_t kept = lines.size() - 1;
  // The kept lines fill the limit as far as whole lines go (each is about 90 bytes).
  EXPECT_LE(lastLineStart, kLimit);
  EXPECT_GT(lastLineStart + 100, kLimit);
  EXPECT_EQ(content.substr(0, lastLineStart), beforeClosing);
  EXPECT_EQ(lines.back().message,
            "Log limit of 2000 bytes reached, lines left out: " + std::to_string(100 - kept));
  for (size_t i = 0; i < kept; ++i) {
    EXPECT_EQ(lines[i].counter, i);
    EXPECT_EQ(lines[i].message.substr(0, lines[i].message.find('x')), "line " + std::to_string(i));
  }
  // Counted on: no gaps in the counter among the lines written.
  EXPECT_EQ(ReadLog(LogFile("Other")).at(0).counter, kept);
  EXPECT_EQ(lines.back().counter, kept + 1);

  // The next run moves the bounded file aside and starts a new one.
  log_.ResetForTesting();
  log_.Write("T", "a.cpp", 1, "run 2");
  EXPECT_EQ(ReadWholeFile(LogFile("T.prev")), content);
  EXPECT_EQ(Messages(ReadLog(LogFile("T"))), Texts{"run 2"});
}

TEST_F(TraceLogTest, DetailChoosesTheLinesKept) {
  log_.SetDetail(LogDetail::kErrors);
  EXPECT_TRUE(log_.Keeps(LogDetail::kErrors));
  EXPECT_FALSE(log_.Keeps(LogDetail::kFull));
  EXPECT_FALSE(log_.IsLogOff());
  Trace("a detail");
  log_.Write("", "a.cpp", 1, "another detail");
  TraceProblem("Error:a problem");
  log_.Write("", "a.cpp", 2, "a warning", LogDetail::kErrors);
  EXPECT_EQ(Messages(ReadLog(LogFile("MainThread"))), (Texts{"Error:a problem", "a warning"}));

  // Off: no file changes, as with the log-off flag.
  log_.SetDetail(LogDetail::kOff);
  EXPECT_TRUE(log_.IsLogOff());
  TraceProblem("Error:lost");
  log_.Write("New", "a.cpp", 1, "lost", LogDetail::kErrors);
  EXPECT_EQ(ReadLog(LogFile("MainThread")).size(), 2u);
  EXPECT_FALSE(PathExists(LogFile("New")));

  // No detail undoes the log-off flag of a program started from a network share.
  log_.SetLogOff(true);
  log_.SetDetail(LogDetail::kFull);
  EXPECT_FALSE(log_.Keeps(LogDetail::kErrors));
  log_.SetLogOff(false);
  EXPECT_TRUE(log_.Keeps(LogDetail::kFull));
}

TEST_F(TraceLogTest, UnwritableFolderCountsNothing) {
  // A file stands where a folder above the log folder should be.
  dir_.Write("missing", "");
  log_.SetFolderForTesting(dir_ / "missing/LOGS");
  log_.Write("T", "a.cpp", 1, "lost");
  EXPECT_FALSE(PathExists(dir_ / "missing/LOGS"));
  log_.SetFolderForTesting(logs_);
  log_.Write("T", "a.cpp", 1, "kept");
  EXPECT_EQ(ReadLog(LogFile("T")).at(0).counter, 0u);
}

TEST_F(TraceLogTest, LogThatIsNoRegularFileIsNeitherOpenedNorMoved) {
  CreateFolder(logs_);
  // Opening a pipe without a reader for writing would wait for good; a device takes anything.
  ASSERT_EQ(mkfifo(LogFile("Pipe").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/null", LogFile("Device").c_str()), 0);
  for (const char* thread : {"Pipe", "Device"}) {
    log_.Write(thread, "a.cpp", 1, "lost");
    log_.Flush();
    EXPECT_FALSE(IsRegularFile(LogFile(thread))) << thread;
    EXPECT_FALSE(PathExists(LogFile(std::string(thread) + ".prev"))) << thread;
  }
  log_.Write("T", "a.cpp", 1, "kept");
  EXPECT_EQ(ReadLog(LogFile("T")).at(0).counter, 0u);
}

TEST_F(TraceLogTest, ConcurrentWritersKeepLinesWholeAndCounterGapFree) {
  const Texts names = {"Alpha", "Beta", "Shared", "Shared"};
  constexpr int kLinesEach = 200;
  std::vector<std::thread> writers;
  for (size_t w = 0; w < names.size(); ++w)
    writers.emplace_back([&, w] {
      for (int i = 0; i < kLinesEach; ++i)
        log_.Write(names[w], "w.cpp", i, "writer " + std::to_string(w) + " line " + std::to_string(i));
    });
  for (std::thread& writer : writers) writer.join();

  std::vector<uint32_t> counters;
  std::map<std::string, int> nextOfWriter;
  for (const std::string name : {"Alpha", "Beta", "Shared"}) {
    for (const LogLine& line : ReadLog(LogFile(name))) {
      counters.push_back(line.counter);
      const std::string writer = line.message.substr(0, line.message.find(" line"));
      EXPECT_EQ(line.message, writer + " line " + std::to_string(nextOfWriter[writer]++));
    }
  }
  std::sort(counters.begin(), counters.end());
  ASSERT_EQ(counters.size(), names.size() * kLinesEach);
  for (size_t i = 0; i < counters.size(); ++i) ASSERT_EQ(counters[i], i);
}

// Other threads keep the writer busy; a line this thread flushed is in its file all the same.
TEST_F(TraceLogTest, FlushedLinesAreInTheFileWhileOtherThreadsLog) {
  std::atomic<bool> done{false};
  std::vector<std::thread> others;
  for (const char* name : {"Alpha", "Beta"})
    others.emplace_back([&, name] {
      for (int i = 0; !done; ++i) log_.Write(name, "o.cpp", i, "busy line " + std::to_string(i) + std::string(200, 'o'));
    });
  for (int i = 0; i < 100; ++i) {
    log_.Write("T", "t.cpp", i, "flushed " + std::to_string(i));
    log_.Flush();
    const auto lines = ParseLog(ReadWholeFile(LogFile("T")).value_or(""));
    ASSERT_EQ(lines.size(), static_cast<size_t>(i) + 1);
    ASSERT_EQ(lines.back().message, "flushed " + std::to_string(i));
  }
  done = true;
  for (std::thread& other : others) other.join();
  // The busy files hold whole lines, each thread's in order.
  for (const std::string name : {"Alpha", "Beta"}) {
    const auto lines = ReadLog(LogFile(name));
    ASSERT_FALSE(lines.empty()) << name;
    for (size_t i = 0; i < lines.size(); ++i)
      ASSERT_EQ(lines[i].message, "busy line " + std::to_string(i) + std::string(200, 'o')) << name;
  }
}

// With a limit of many buffers, lines go on being left out correctly while the pieces
// before them still wait to be written.
TEST_F(TraceLogTest, LimitOfManyBuffersCutsAtTheSameLine) {
  constexpr uint64_t kLimit = 1024 * 1024;
  log_.SetFileLimitForTesting(kLimit);
  const std::string padding(90, 'p');
  constexpr int kLines = 20000;  // about twice the limit
  for (int i = 0; i < kLines; ++i) log_.Write("T", "a.cpp", 7, "line " + std::to_string(i) + padding);
  log_.SetFolderForTesting(logs_);  // closes the file
  const ClosedLog closed = ReadClosedLog(LogFile("T"));
  const auto& lines = closed.lines;
  ASSERT_GE(lines.size(), 2u);
  const size_t kept = lines.size() - 1;
  const size_t lastLineStart = closed.lastLineStart;
  EXPECT_LE(lastLineStart, kLimit);
  EXPECT_GT(lastLineStart + 200, kLimit);
  for (size_t i = 0; i < kept; ++i) {
    ASSERT_EQ(lines[i].counter, i);
    ASSERT_EQ(lines[i].message, "line " + std::to_string(i) + padding);
  }
  EXPECT_EQ(lines.back().message, "Log limit of 1 MB reached, lines left out: " + std::to_string(kLines - kept));
  EXPECT_EQ(lines.back().counter, kept);
}

// The writer's thread runs only while lines wait to be written.
TEST_F(TraceLogTest, WriterThreadOnlyWhileLinesWait) {
  const auto threads = [] { return NamesInForTest("/proc/self/task").size(); };
  // A writer started and stopped once first: a sanitizer's own thread, started with the
  // first thread, is then counted among those always there.
  log_.Write("W", "a.cpp", 1, "warm-up");
  log_.Flush();
  const size_t alone = threads();
  constexpr int kLines = 12000;  // about 1.3 MB
  const auto writeMany = [this] {
    for (int i = 0; i < kLines; ++i) log_.Write("T", "a.cpp", 1, "line " + std::to_string(i) + std::string(60, 'x'));
  };
  log_.SetLogOff(true);
  writeMany();  // far more than one buffer
  EXPECT_EQ(threads(), alone);

  log_.SetLogOff(false);
  writeMany();
  EXPECT_EQ(threads(), alone + 1);
  log_.Flush();
  EXPECT_EQ(threads(), alone);
  EXPECT_EQ(ReadLog(LogFile("T")).size(), static_cast<size_t>(kLines));
}

// A crawl logs a page's links in one go: the file must read as if they came one by one,
// also where the limit cuts into them.
TEST_F(TraceLogTest, LinesWrittenTogetherReadAsLinesWrittenOneByOne) {
  log_.SetFileLimitForTesting(1000);
  std::vector<std::string> texts;
  for (int i = 0; i < 30; ++i) texts.push_back("link " + std::to_string(i) + (i == 3 ? "\r\n\x01" : "") + std::string(20, 'x'));
  const std::vector<std::string_view> messages(texts.begin(), texts.end());
  for (const std::string& text : texts) log_.Write("One", "a.cpp", 7, text);
  log_.WriteEach("Each", "a.cpp", 7, std::span(messages).first(10));
  log_.WriteEach("Each", "a.cpp", 7, std::span(messages).subspan(10));
  log_.WriteEach("Each", "a.cpp", 7, {});
  log_.SetFolderForTesting(logs_);  // closes the files with their counts of lines left out
  const auto one = ReadClosedLog(LogFile("One"));
  const auto each = ReadClosedLog(LogFile("Each"));
  ASSERT_GT(one.lines.size(), 3u);
  ASSERT_LT(one.lines.size(), 30u);
  EXPECT_EQ(Messages(each.lines), Messages(one.lines));
  EXPECT_EQ(each.lines.back().message,
            "Log limit of 1000 bytes reached, lines left out: " + std::to_string(31 - each.lines.size()));
  EXPECT_EQ(each.lines[3].message, "link 3\\r\\n\\x01" + std::string(20, 'x'));
  for (size_t i = 1; i + 1 < each.lines.size(); ++i) EXPECT_EQ(each.lines[i].counter, each.lines[i - 1].counter + 1);
}

// The walk logs its links as values of one form: each line must read as the message of its
// fixed texts and values joined, escaped alike, whatever form and place came before.
TEST_F(TraceLogTest, LinesOfOneFormReadAsTheirJoinedMessages) {
  const std::vector<std::string_view> fixed = {"found link:", ", abs\t:"};
  const std::vector<std::string_view> values = {"a.html", "/s/a.html", "b\\\x01.html", "/s/b\n.html",
                                                "", "/s/", "caf\xc3\xa9", "\xc3"};
  const std::vector<std::string_view> other = {"<", ">"};
  for (size_t i = 0; i < values.size(); i += 2) {
    log_.Write("Joined", "a.cpp", 7, std::string(fixed[0]) + std::string(values[i]) + std::string(fixed[1]) +
                                         std::string(values[i + 1]));
  }
  log_.WriteEachOfForm("Form", "a.cpp", 7, fixed, values);
  const std::vector<std::string_view> xy = {"x", "", "y"};
  log_.WriteEachOfForm("Form", "b.cpp", 9, other, std::span(xy).first(2));
  log_.WriteEachOfForm("Form", "b.cpp", 9, std::span(other).first(1), std::span(xy).last(1));
  log_.Write("Form", "b.cpp", 9, "<y>");  // a message alone after a form of two texts
  log_.WriteEachOfForm("Form", "b.cpp", 9, other, std::span(values).first(1));  // too few values: no line
  log_.Flush();
  const auto joined = ReadLog(LogFile("Joined"));
  const auto form = ReadLog(LogFile("Form"));
  ASSERT_EQ(joined.size(), 4u);
  ASSERT_EQ(form.size(), 7u);
  EXPECT_EQ(form[1].message, "found link:b\\\\\\x01.html, abs\\t:/s/b\\n.html");
  EXPECT_EQ(form[3].message, "found link:caf\xc3\xa9, abs\\t:\\xc3");
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(form[i].message, joined[i].message);
    EXPECT_EQ(form[i].sourceFile, "a.cpp");
    EXPECT_EQ(form[i].line, 7);
  }
  EXPECT_EQ(form[4].message, "<x>");
  EXPECT_EQ(form[5].message, "<y");
  EXPECT_EQ(form[6].message, "<y>");
  EXPECT_EQ(form[6].sourceFile, "b.cpp");
  EXPECT_EQ(form[6].line, 9);
}

}  // namespace
