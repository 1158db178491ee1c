#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "log/SourceLocation.h"

// How much the log keeps: nothing, the error and warning lines only, or every line.
enum class LogDetail { kOff, kErrors, kFull };

// The process-wide diagnostics log: one file per thread name in the LOGS folder beside
// the executable, each moved aside to ".prev" by the first line it gets in a run. Lines are
// kept in memory and handed in large pieces to a writer thread of the log's own (started
// when first needed): when 64 KB wait, or when 100 ms have passed since the last hand-over
// (checked as lines come). On Flush, on a change of folder or run, and at process exit every
// waiting line is written and the thread ends. A file stops growing at its limit (64 MB):
// the lines beyond it are left out, and its last line, written when it is closed (at exit,
// or on a change of folder or run), says how many.
// Every failure is silent. All members are safe to call from any thread.
class TraceLog {
 public:
  static TraceLog& Instance();

  // Appends one numbered line for `thread` ("" stands for "MainThread"), when the detail
  // asked for reaches `needed` (kErrors for error and warning lines).
  void Write(const std::string& thread, const std::string& sourceFile, int32_t line,
             const std::string& message, LogDetail needed = LogDetail::kFull);
  // Appends one line for each of `messages`, lines from one place, as Write would one
  // after another, under one lock: a crawl logs every link of a page.
  void WriteEach(const std::string& thread, const std::string& sourceFile, int32_t line,
                 std::span<const std::string_view> messages, LogDetail needed = LogDetail::kFull);
  // The same for lines whose messages have one form: `fixed`[0], a value, `fixed`[1], a
  // value, and so on; `values` holds a line's values, line after line. A caller need not
  // join them, and the fixed texts are escaped once, each value on its own.
  void WriteEachOfForm(const std::string& thread, const std::string& sourceFile, int32_t line,
                       std::span<const std::string_view> fixed, std::span<const std::string_view> values,
                       LogDetail needed = LogDetail::kFull);
  // Writes every waiting line to its file; they are there when it returns.
  void Flush();
  // While off, nothing is logged and no folder is created; the detail cannot undo it.
  void SetLogOff(bool off);
  // True when nothing at all is logged (off, or the detail is kOff).
  bool IsLogOff() const;
  // The detail kept from now on; kFull at start.
  void SetDetail(LogDetail detail);
  // Whether a line that needs `needed` would be written: callers skip building lines that
  // would be dropped.
  bool Keeps(LogDetail needed) const;
  // When the file of `thread` is full, counts `lines` lines as left out, as writing them
  // would, and returns true: a caller of many lines spares making them.
  bool LeavesOut(const std::string& thread, size_t lines);
  // Whether the file of `thread` is full: its further lines are left out.
  bool IsFull(const std::string& thread) const;
  // Adds `delta` to the thread's depth when the thread has written before.
  void ChangeDepth(const std::string& thread, int32_t delta);

  // The log folder; defaults to ProgramFolder() + "/LOGS".
  std::string Folder() const;
  // Writes the waiting lines, then logs into `folder` ("" for the default).
  void SetFolderForTesting(const std::string& folder);
  // Writes the waiting lines, then forgets the threads and the counter and keeps every line
  // again, as a new program run would.
  void ResetForTesting();
  // The size at which a thread's file stops growing; 0 restores the default.
  void SetFileLimitForTesting(uint64_t bytes);
};

// Shorthand for the main thread: Trace("...") logs with the caller's file and line.
void Trace(const std::string& message,
           SourceLocation where = SourceLocation::current());
// The same for lines from one place, one for each of `messages`.
void TraceEach(std::span<const std::string_view> messages, SourceLocation where = SourceLocation::current());
// The same for lines of one form, as WriteEachOfForm takes them.
void TraceEachOfForm(std::span<const std::string_view> fixed, std::span<const std::string_view> values,
                     SourceLocation where = SourceLocation::current());
// The same for an error or warning line, which "--log=errors" keeps.
void TraceProblem(const std::string& message,
                  SourceLocation where = SourceLocation::current());
