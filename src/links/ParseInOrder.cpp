#include "links/ParseInOrder.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Memory.h"

namespace {

// Parsed pages that may wait per thread: enough to keep each busy while the taker is slow
// for a moment, few enough that their links take little memory.
constexpr size_t kWaitingPerThread = 16;

// The pages under way, in a ring: page i lies in slot i % size. The taker takes parsed
// pages in runs, so that the threads seldom wait for each other or wake each other up.
class PagesUnderWay {
 public:
  PagesUnderWay(size_t count, size_t window) : count_(count), slots_(window) {}

  // The next number to parse, or `count` when all are given out or the work stopped; waits
  // while the ring is full.
  size_t Begin() {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return next_ >= count_ || HasRoom(); });
    return GiveOut();
  }
  // The same, but `count` rather than waiting when the ring is full.
  size_t TryBegin() {
    const std::lock_guard lock(mutex_);
    return HasRoom() ? GiveOut() : count_;
  }
  ParsedPage& Page(size_t i) { return slots_[i % slots_.size()].page; }
  void Done(size_t i) {
    const std::lock_guard lock(mutex_);
    slots_[i % slots_.size()].done = true;
    if (i == taken_) parsed_.notify_one();
  }
  // How many pages in a row, from the next one to take, are parsed; with `wait`, waits for
  // at least one.
  size_t Parsed(bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) parsed_.wait(lock, [&] { return slots_[taken_ % slots_.size()].done; });
    size_t run = 0;
    while (taken_ + run < next_ && slots_[(taken_ + run) % slots_.size()].done) ++run;
    return run;
  }
  // The first `pages` parsed pages are taken: their slots serve later ones.
  void Taken(size_t pages) {
    {
      const std::lock_guard lock(mutex_);
      for (size_t i = 0; i < pages; ++i) slots_[(taken_ + i) % slots_.size()].done = false;
      taken_ += pages;
    }
    room_.notify_all();
  }
  // No more pages are given out.
  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      next_ = count_;
    }
    room_.notify_all();
  }

 private:
  struct Slot {
    ParsedPage page;
    bool done = false;
  };
  bool HasRoom() const { return next_ < count_ && next_ < taken_ + slots_.size(); }
  size_t GiveOut() { return next_ < count_ ? next_++ : count_; }

  const size_t count_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable room_;
  std::condition_variable parsed_;
  size_t next_ = 0;   // the next number given out
  size_t taken_ = 0;  // the next number to be taken
};

void ParseOnThisThread(size_t count, const ParseNumbered& parse, const TakeNumbered& take) {
  ParsedPage page;
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    parse(i, page, text);
    if (!take(i, page)) return;
  }
}

// Takes the parsed pages in order on this thread, parsing one itself whenever none waits.
void TakeInOrder(size_t count, PagesUnderWay& pages, const ParseNumbered& parse, const TakeNumbered& take) {
  std::string text;
  for (size_t taken = 0; taken < count;) {
    size_t run = pages.Parsed(false);
    if (run == 0) {
      if (const size_t mine = pages.TryBegin(); mine < count) {
        parse(mine, pages.Page(mine), text);
        pages.Done(mine);
        continue;
      }
      run = pages.Parsed(true);
    }
    for (size_t i = taken; i < taken + run; ++i)
      if (!take(i, pages.Page(i))) return;
    pages.Taken(run);
    taken += run;
  }
}

}  // namespace

void ParseInOrder(size_t count, int threads, const ParseNumbered& parse, const TakeNumbered& take) {
  if (threads <= 1) return ParseOnThisThread(count, parse, take);
  PagesUnderWay pages(count, kWaitingPerThread * static_cast<size_t>(threads));
  ShareOneMemoryPool();
  std::vector<std::thread> workers;
  for (int w = 1; w < threads; ++w)
    workers.emplace_back([&] {
      std::string text;
      for (size_t i = pages.Begin(); i < count; i = pages.Begin()) {
        parse(i, pages.Page(i), text);
        pages.Done(i);
      }
    });
  TakeInOrder(count, pages, parse, take);
  pages.Stop();
  for (std::thread& worker : workers) worker.join();
}
