#pragma once
#include <chrono>
#include <ostream>

#include "common/RunControl.h"

// One self-updating line on a terminal while a long run goes: folders, items, pages
// crawled and pages per second. Shown only when `shown` (standard error is a terminal and
// the user did not ask for quiet), and only once the run has taken longer than `delay`.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, bool shown, std::chrono::milliseconds delay);
  // Clears the line, so what follows starts at the left edge.
  ~ProgressLine();

  // Hooks the line to `control`'s progress.
  void Follow(RunControl& control);
  // Redraws the line, at most ten times a second.
  void Update(const RunProgress& progress);

 private:
  std::ostream& err_;
  bool shown_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_, shownAt_, nextDraw_;
};

// The progress line a batch run shows on standard error: none when it is no terminal or
// `quiet`. FOLIOSCRIBE_PROGRESS_DELAY_MS replaces the one second's wait (tests set 0).
ProgressLine BatchProgressLine(std::ostream& err, bool quiet);
