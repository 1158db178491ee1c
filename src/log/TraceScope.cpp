#include "log/TraceScope.h"

#include <cstdio>
#include <utility>

#include "common/Paths.h"
#include "log/TraceLog.h"

TraceScope::TraceScope(std::string thread, std::string function, std::string sourceFile,
                       int32_t line)
    : start_(std::chrono::steady_clock::now()) {
  TraceLog& log = TraceLog::Instance();
  if (!log.Keeps(LogDetail::kFull)) return;
  active_ = true;
  thread_ = thread.empty() ? "MainThread" : std::move(thread);
  function_ = std::move(function);
  sourceFile_ = std::move(sourceFile);
  line_ = line;
  // A thread that has not written yet has no depth to raise; its "Entering: " line
  // creates the record at depth 0.
  log.ChangeDepth(thread_, +1);
  log.Write(thread_, sourceFile_, line_, "Entering: " + function_);
  // The duration leaves out the writing of the first line.
  start_ = std::chrono::steady_clock::now();
}

TraceScope::TraceScope(std::string function, SourceLocation where)
    : TraceScope("", std::move(function), PathName(where.file_name()),
                 static_cast<int32_t>(where.line())) {}

TraceScope::~TraceScope() {
  TraceLog& log = TraceLog::Instance();
  if (!active_ || !log.Keeps(LogDetail::kFull)) return;
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start_;
  log.Write(thread_, sourceFile_, line_,
            "Leaving: " + function_ + " [" + FormatMilliseconds(elapsed.count()) + " ms]");
  log.ChangeDepth(thread_, -1);
}

std::string FormatMilliseconds(double milliseconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%G", milliseconds);
  return text;
}
