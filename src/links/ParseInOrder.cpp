#include "links/ParseInOrder.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Memory.h"

namespace {

// Parsed pages that may wait per worker: enough to keep each busy while the taker is slow
// for a moment, few enough that their links take little memory.
constexpr size_t kWaitingPerWorker = 16;

// The pages under way, in a ring: page i lies in slot i % size.
class PagesUnderWay {
 public:
  PagesUnderWay(size_t count, size_t window) : count_(count), slots_(window) {}

  // The next number to parse, or `count` when all are given out or the work stopped.
  size_t Begin() {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return next_ >= count_ || next_ < taken_ + slots_.size(); });
    return next_ < count_ ? next_++ : count_;
  }
  ParsedPage& Page(size_t i) { return slots_[i % slots_.size()].page; }
  void Done(size_t i) {
    const std::lock_guard lock(mutex_);
    slots_[i % slots_.size()].done = true;
    if (i == taken_) parsed_.notify_one();
  }
  // Waits until page `taken_` is parsed and returns it.
  ParsedPage& WaitForNext() {
    std::unique_lock lock(mutex_);
    parsed_.wait(lock, [&] { return slots_[taken_ % slots_.size()].done; });
    return slots_[taken_ % slots_.size()].page;
  }
  // The page waited for is taken: its slot serves a later one.
  void Taken() {
    {
      const std::lock_guard lock(mutex_);
      slots_[taken_ % slots_.size()].done = false;
      ++taken_;
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

}  // namespace

void ParseInOrder(size_t count, int workers, const ParseNumbered& parse, const TakeNumbered& take) {
  if (workers <= 0) return ParseOnThisThread(count, parse, take);
  PagesUnderWay pages(count, kWaitingPerWorker * static_cast<size_t>(workers));
  ShareOneMemoryPool();
  std::vector<std::thread> threads;
  for (int w = 0; w < workers; ++w)
    threads.emplace_back([&] {
      std::string text;
      for (size_t i = pages.Begin(); i < count; i = pages.Begin()) {
        parse(i, pages.Page(i), text);
        pages.Done(i);
      }
    });
  for (size_t i = 0; i < count; ++i) {
    if (!take(i, pages.WaitForNext())) break;
    pages.Taken();
  }
  pages.Stop();
  for (std::thread& thread : threads) thread.join();
}
