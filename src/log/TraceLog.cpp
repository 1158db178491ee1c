#include "log/TraceLog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>

#include "common/Paths.h"
#include "common/Text.h"
#include "log/LogLine.h"
#include "log/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "platform/TraceSocket.h"

namespace {

using Clock = std::chrono::steady_clock;

// Lines wait in memory and reach the file in large writes on the writer's thread: a write
// per line would cost more than a crawl's own work. A killed process loses at most the last
// interval's lines.
constexpr size_t kFlushSize = 1024 * 1024;
constexpr Clock::duration kFlushInterval = std::chrono::milliseconds(100);
// A per-link log of a site of a million links would fill a disk; this keeps several runs'
// worth of ordinary sites whole.
constexpr uint64_t kFileLimit = 64 * 1024 * 1024;

struct ThreadRecord {
  std::string name;
  int32_t depth = 0;
  AppendFile file;      // kept open from the rotation on; closed when the record goes
  std::string pending;  // lines not yet in the file, in order
  uint64_t bytes = 0;   // in the file: its size when opened, then the lines taken since
  bool full = false;    // a line met the limit: the lines after it are left out too
  uint64_t leftOut = 0; // lines left out, said by the file's last line when it is closed
};

// The log's whole state; the mutex guards everything but the log-off flag, which is read
// before taking it.
struct LogState {
  std::mutex lock;
  // A deque keeps each record, and so its file, in place for the writer while more come.
  std::deque<ThreadRecord> threads;
  ThreadRecord* lastRecord = nullptr;  // the record of the line before, nearly always the next's
  uint32_t counter = 0;
  std::string folderForTesting;
  std::atomic<bool> off{false};
  std::atomic<LogDetail> detail{LogDetail::kFull};
  uint64_t fileLimit = kFileLimit;
  // Worked out on first use: they cannot change while the program runs.
  const std::string programPath = ProgramPath();
  const std::string programFolderLogs = ProgramDataFolders().logs;
  LogLineMaker lines;
  TraceViewerLink viewer{std::chrono::seconds(1)};
  Clock::time_point lastFlush = CoarseSteadyTime();
  // Declared after the records: it goes first, with their files still open.
  LogWriter writer;

  // The process's exit writes what is still waiting.
  ~LogState();
};

LogState& State() {
  static LogState state;
  return state;
}

std::string FolderOf(const LogState& state) {
  return state.folderForTesting.empty() ? state.programFolderLogs : state.folderForTesting;
}

const std::string& ThreadName(const std::string& thread) {
  static const std::string mainThread = "MainThread";
  return thread.empty() ? mainThread : thread;
}

ThreadRecord* FindThread(LogState& state, const std::string& name) {
  if (state.lastRecord != nullptr && state.lastRecord->name == name) return state.lastRecord;
  const auto found = std::find_if(state.threads.begin(), state.threads.end(),
                                  [&](const ThreadRecord& r) { return EqualsNoCase(r.name, name); });
  if (found == state.threads.end()) return nullptr;
  state.lastRecord = &*found;
  return state.lastRecord;
}

// The log file of `name`; makes the folder when it is missing.
std::string LogPath(const LogState& state, const std::string& name) {
  const std::string folder = FolderOf(state);
  CreateFolders(folder);
  return folder + "/" + PathName(state.programPath) + "." + name + ".log";
}

// The first line of a thread name in a run moves the last run's log aside, replacing an
// older previous log; with no log yet the older one stays. The older one is removed first:
// renaming over it would make the file system write the moved log out at once. Freeing it
// takes a while for a large one, so the writer does that. Anything but a regular file at
// the log's name is left where it is, and the log is not written.
ThreadRecord& FindOrRotate(LogState& state, const std::string& name) {
  if (ThreadRecord* record = FindThread(state, name)) return *record;
  const std::string log = LogPath(state, name);
  if (IsRegularFile(log)) {
    DetachedFile previous;
    const std::string previousPath = LogPath(state, name + ".prev");
    if (previous.Detach(previousPath) && previous.IsOpen()) state.writer.Release(std::move(previous));
    RenameFile(log, previousPath);
  }
  ThreadRecord& record = state.threads.emplace_back();
  record.name = name;
  return record;
}

// The record's open log file; opened again while that fails, as a folder may appear.
AppendFile& LogFileOf(LogState& state, ThreadRecord& record) {
  if (record.file.IsOpen()) return record.file;
  const std::string path = LogPath(state, record.name);
  if (record.file.Open(path)) {
    // A file that could not be moved aside still counts against the limit.
    const auto status = GetFileStatus(path);
    record.bytes = status ? status->size : 0;
    record.full = false;
  }
  return record.file;
}

// Hands every waiting line to the writer.
void FlushAll(LogState& state) {
  for (ThreadRecord& record : state.threads)
    if (!record.pending.empty()) state.writer.Queue(record.file, record.pending);
  state.lastFlush = CoarseSteadyTime();
}

// "64 MB", or the bytes when the limit is no whole number of megabytes.
std::string SizeText(uint64_t bytes) {
  constexpr uint64_t kMegabyte = 1024 * 1024;
  if (bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MB";
  return std::to_string(bytes) + " bytes";
}

// The form of a line that is its message alone.
constexpr std::string_view kMessageOnlyText[] = {""};
constexpr std::span<const std::string_view> kMessageOnly(kMessageOnlyText);

// Adds the line saying how many lines the limit left out, when it left out any.
void AppendLeftOutLine(LogState& state, ThreadRecord& record) {
  if (record.leftOut == 0) return;
  const size_t lineStart = record.pending.size();
  const std::string message =
      "Log limit of " + SizeText(state.fileLimit) + " reached, lines left out: " + std::to_string(record.leftOut);
  const std::string_view part = message;
  state.lines.Start("TraceLog.cpp", __LINE__, kMessageOnly);
  state.lines.Append(record.pending, state.counter++, 0, std::span(&part, 1));
  record.bytes += record.pending.size() - lineStart;
  record.leftOut = 0;
  state.viewer.Send(std::string_view(record.pending).substr(lineStart), CoarseSteadyTime());
}

// Writes every waiting line and returns once they are in their files.
void WriteAll(LogState& state) {
  FlushAll(state);
  state.writer.Finish();
}

// The same, each file's count of left-out lines last: for closing.
void FinishAll(LogState& state) {
  for (ThreadRecord& record : state.threads) AppendLeftOutLine(state, record);
  WriteAll(state);
}

void CloseLogFiles(LogState& state) {
  FinishAll(state);
  for (ThreadRecord& record : state.threads) record.file.Close();
}

LogState::~LogState() { FinishAll(*this); }

}  // namespace

TraceLog& TraceLog::Instance() {
  static TraceLog log;
  return log;
}

void TraceLog::Write(const std::string& thread, const std::string& sourceFile, int32_t line,
                     const std::string& message, LogDetail needed) {
  const std::string_view one = message;
  WriteEach(thread, sourceFile, line, std::span(&one, 1), needed);
}

void TraceLog::WriteEach(const std::string& thread, const std::string& sourceFile, int32_t line,
                         std::span<const std::string_view> messages, LogDetail needed) {
  WriteEachOfForm(thread, sourceFile, line, kMessageOnly, messages, needed);
}

void TraceLog::WriteEachOfForm(const std::string& thread, const std::string& sourceFile, int32_t line,
                               std::span<const std::string_view> fixed, std::span<const std::string_view> values,
                               LogDetail needed) {
  const size_t valuesPerLine = fixed.size();
  if (valuesPerLine == 0 || values.size() < valuesPerLine || !Keeps(needed)) return;
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  ThreadRecord& record = FindOrRotate(state, ThreadName(thread));
  // A line whose file cannot be opened, or that the limit leaves out, is neither counted
  // nor shown.
  if (!LogFileOf(state, record).IsOpen()) return;
  // One clock reading serves the viewer's retry and the flush interval.
  const Clock::time_point now = CoarseSteadyTime();
  state.lines.Start(sourceFile, line, fixed);
  for (size_t first = 0; first + valuesPerLine <= values.size(); first += valuesPerLine) {
    if (record.full) {
      ++record.leftOut;
      continue;
    }
    const size_t lineStart = record.pending.size();
    state.lines.Append(record.pending, state.counter, record.depth, values.subspan(first, valuesPerLine));
    const size_t lineSize = record.pending.size() - lineStart;
    if (record.bytes + lineSize > state.fileLimit) {
      record.pending.resize(lineStart);
      record.full = true;
      ++record.leftOut;
      continue;
    }
    record.bytes += lineSize;
    ++state.counter;
    state.viewer.Send(std::string_view(record.pending).substr(lineStart), now);
    // A full buffer hands all waiting lines to the writer: buffers stay small, whatever
    // the number of lines.
    if (record.pending.size() >= kFlushSize) FlushAll(state);
  }
  // So does the interval's end.
  if (now - state.lastFlush >= kFlushInterval) FlushAll(state);
}

void TraceLog::Flush() {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  WriteAll(state);
}

void TraceLog::SetLogOff(bool off) { State().off = off; }

bool TraceLog::IsLogOff() const { return !Keeps(LogDetail::kErrors); }

void TraceLog::SetDetail(LogDetail detail) { State().detail = detail; }

bool TraceLog::Keeps(LogDetail needed) const {
  const LogState& state = State();
  return !state.off && state.detail >= needed;
}

bool TraceLog::LeavesOut(const std::string& thread, size_t lines) {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  ThreadRecord* record = FindThread(state, ThreadName(thread));
  if (record == nullptr || !record->full) return false;
  record->leftOut += lines;
  return true;
}

bool TraceLog::IsFull(const std::string& thread) const {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  const ThreadRecord* record = FindThread(state, ThreadName(thread));
  return record != nullptr && record->full;
}

void TraceLog::ChangeDepth(const std::string& thread, int32_t delta) {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  if (ThreadRecord* record = FindThread(state, ThreadName(thread))) record->depth += delta;
}

std::string TraceLog::Folder() const {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  return FolderOf(state);
}

void TraceLog::SetFolderForTesting(const std::string& folder) {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.folderForTesting = folder;
  CloseLogFiles(state);
}

void TraceLog::ResetForTesting() {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  FinishAll(state);
  state.threads.clear();
  state.lastRecord = nullptr;
  state.counter = 0;
  state.detail = LogDetail::kFull;
}

void TraceLog::SetFileLimitForTesting(uint64_t bytes) {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.fileLimit = bytes == 0 ? kFileLimit : bytes;
}

namespace {

// The name of the caller's file. Most lines come from the file of the line before: its name
// is worked out once.
const std::string& FileNameOf(SourceLocation where) {
  thread_local const char* lastFile = nullptr;
  thread_local std::string lastName;
  if (where.file_name() != lastFile) {
    lastFile = where.file_name();
    lastName = PathName(lastFile);
  }
  return lastName;
}

void TraceAt(const std::string& message, SourceLocation where, LogDetail needed) {
  TraceLog::Instance().Write("", FileNameOf(where), static_cast<int32_t>(where.line()), message, needed);
}

}  // namespace

void Trace(const std::string& message, SourceLocation where) {
  TraceAt(message, where, LogDetail::kFull);
}

void TraceEach(std::span<const std::string_view> messages, SourceLocation where) {
  TraceLog::Instance().WriteEach("", FileNameOf(where), static_cast<int32_t>(where.line()), messages);
}

void TraceEachOfForm(std::span<const std::string_view> fixed, std::span<const std::string_view> values,
                     SourceLocation where) {
  TraceLog::Instance().WriteEachOfForm("", FileNameOf(where), static_cast<int32_t>(where.line()), fixed, values);
}

void TraceProblem(const std::string& message, SourceLocation where) {
  TraceAt(message, where, LogDetail::kErrors);
}
