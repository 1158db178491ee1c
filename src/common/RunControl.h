#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

// How far a run has got.
struct RunProgress {
  int64_t folders = 0;  // folders listed by the walk
  int64_t items = 0;    // folders and files written into the map
  int64_t pages = 0;    // pages read by the link counter
  int64_t parsed = 0;   // listed pages the link counter parsed, crawled or not
};

// How long the steps of a run took, for whoever times it.
struct RunTimes {
  int64_t pagesParsed = 0;  // listed pages the link counter parsed, crawled or not
  double parseSeconds = 0;  // those pages parsed, added over the threads
  double walkSeconds = 0;   // the rest of the crawl on its own thread, counting the links
  double mapSeconds = 0;    // the folder walk writing the map
};

// Adds the seconds from `start` to now to `seconds`, for RunTimes.
inline void AddSecondsSince(std::chrono::steady_clock::time_point start, double& seconds) {
  seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Lets another thread follow a run and stop it: the walk and the crawl look at `cancel`
// between items and call `onProgress` on the running thread after each step.
struct RunControl {
  std::atomic<bool> cancel{false};
  std::function<void(const RunProgress&)> onProgress;
  RunProgress progress;
  RunTimes times;
};

// Both take a null control as "never cancelled, nobody listening".
inline bool Cancelled(const RunControl* control) {
  return control != nullptr && control->cancel.load(std::memory_order_relaxed);
}

inline void Advance(RunControl* control, int64_t RunProgress::*counter) {
  if (control == nullptr) return;
  ++(control->progress.*counter);
  if (control->onProgress) control->onProgress(control->progress);
}
