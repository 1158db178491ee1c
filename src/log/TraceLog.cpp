#include "log/TraceLog.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "platform/TraceSocket.h"

namespace {

struct ThreadRecord {
  std::string name;
  int32_t depth = 0;
};

// The log's whole state; the mutex guards everything but the log-off flag, which is read
// before taking it.
struct LogState {
  std::mutex lock;
  std::vector<ThreadRecord> threads;
  uint32_t counter = 0;
  std::string folderForTesting;
  std::atomic<bool> off{false};
};

LogState& State() {
  static LogState state;
  return state;
}

std::string FolderOf(const LogState& state) {
  return state.folderForTesting.empty() ? ProgramFolder() + "/LOGS" : state.folderForTesting;
}

std::string ThreadName(const std::string& thread) {
  return thread.empty() ? "MainThread" : thread;
}

ThreadRecord* FindThread(LogState& state, const std::string& name) {
  const auto found = std::find_if(state.threads.begin(), state.threads.end(),
                                  [&](const ThreadRecord& r) { return EqualsNoCase(r.name, name); });
  return found == state.threads.end() ? nullptr : &*found;
}

// The log file of `name`; makes the folder (one level) when it is missing.
std::string LogPath(const std::string& folder, const std::string& name) {
  if (!IsFolder(folder)) CreateFolder(folder);
  return folder + "/" + PathName(ProgramPath()) + "." + name + ".log";
}

// The first line of a thread name in a run moves the last run's log aside. The rename
// replaces an older previous log; with no log yet it fails and the older one stays.
ThreadRecord& FindOrRotate(LogState& state, const std::string& folder, const std::string& name) {
  if (ThreadRecord* record = FindThread(state, name)) return *record;
  state.threads.push_back({name, 0});
  RenameFile(LogPath(folder, name), LogPath(folder, name + ".prev"));
  return state.threads.back();
}

std::string FormatLine(uint32_t counter, int32_t depth, const std::string& message,
                       const std::string& sourceFile, int32_t line) {
  return std::to_string(counter) + ":" + std::string(std::max(depth, 0), ' ') + message + " (" +
         FormatLocalTime(CurrentTime(), "%d %b, %H:%M:%S") + ",File:" + sourceFile +
         ", Line:" + std::to_string(line) + ")\r\n";
}

}  // namespace

TraceLog& TraceLog::Instance() {
  static TraceLog log;
  return log;
}

void TraceLog::Write(const std::string& thread, const std::string& sourceFile, int32_t line,
                     const std::string& message) {
  LogState& state = State();
  if (state.off) return;
  const std::lock_guard<std::mutex> guard(state.lock);
  const std::string name = ThreadName(thread);
  const std::string folder = FolderOf(state);
  const ThreadRecord& record = FindOrRotate(state, folder, name);
  const std::string text = FormatLine(state.counter, record.depth, message, sourceFile, line);
  // A line that cannot be stored is neither counted nor shown.
  if (!AppendToFile(LogPath(folder, name), text)) return;
  ++state.counter;
  SendToTraceViewer(text);
}

void TraceLog::SetLogOff(bool off) { State().off = off; }

bool TraceLog::IsLogOff() const { return State().off; }

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
}

void TraceLog::ResetForTesting() {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.threads.clear();
  state.counter = 0;
}

void Trace(const std::string& message, SourceLocation where) {
  TraceLog::Instance().Write("", PathName(where.file_name()), static_cast<int32_t>(where.line()),
                             message);
}
