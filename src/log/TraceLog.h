#pragma once
#include <cstdint>
#include <string>

#include "log/SourceLocation.h"

// The process-wide diagnostics log: one file per thread name in the LOGS folder beside
// the executable, each moved aside to ".prev" by the first line it gets in a run. Lines are
// kept in memory and written in large pieces: when 64 KB wait, when 100 ms have passed since
// the last write (checked as lines come), on Flush, on a change of folder or run, and at
// process exit. Every failure is silent. All members are safe to call from any thread.
class TraceLog {
 public:
  static TraceLog& Instance();

  // Appends one numbered line for `thread` ("" stands for "MainThread").
  void Write(const std::string& thread, const std::string& sourceFile, int32_t line,
             const std::string& message);
  // Writes every waiting line to its file now.
  void Flush();
  // While off, nothing is logged and no folder is created.
  void SetLogOff(bool off);
  bool IsLogOff() const;
  // Adds `delta` to the thread's depth when the thread has written before.
  void ChangeDepth(const std::string& thread, int32_t delta);

  // The log folder; defaults to ProgramFolder() + "/LOGS".
  std::string Folder() const;
  // Writes the waiting lines, then logs into `folder` ("" for the default).
  void SetFolderForTesting(const std::string& folder);
  // Writes the waiting lines, then forgets the threads and the counter, as a new program
  // run would.
  void ResetForTesting();
};

// Shorthand for the main thread: Trace("...") logs with the caller's file and line.
void Trace(const std::string& message,
           SourceLocation where = SourceLocation::current());
