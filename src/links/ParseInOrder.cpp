#include "links/ParseInOrder.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "platform/Memory.h"

namespace {

// Parsed pages that may wait per thread: enough to keep each busy while the taker is slow
// for a moment, few enough that their links take little memory.
constexpr size_t kWaitingPerThread = 16;

}  // namespace

// The pages under way, in a ring: page i lies in slot i % size. The taker takes parsed
// pages in runs, so that the threads seldom wait for each other or wake each other up.
class ParseInOrder::Ring {
 public:
  Ring(size_t count, size_t window) : count_(count), slots_(window) {}

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

ParseInOrder::ParseInOrder(size_t count, int threads, ParseNumbered parse, TakeNumbered take)
    : count_(count), parse_(std::move(parse)), take_(std::move(take)),
      holders_(std::make_unique<std::atomic<Holder>[]>(count)),
      ring_(std::make_unique<Ring>(count, kWaitingPerThread * static_cast<size_t>(std::max(threads, 1)))) {
  if (threads > 1) ShareOneMemoryPool();
  for (int w = 1; w < threads; ++w) workers_.emplace_back([this] { Work(); });
}

ParseInOrder::~ParseInOrder() {
  ring_->Stop();
  for (std::thread& worker : workers_) worker.join();
}

void ParseInOrder::Work() {
  std::string text;
  for (size_t i = ring_->Begin(); i < count_; i = ring_->Begin()) {
    ParseOrPass(i, ring_->Page(i), text);
    ring_->Done(i);
  }
}

void ParseInOrder::ParseOrPass(size_t i, ParsedPage& page, std::string& text) {
  if (TakeUp(i, Holder::kParser) == Holder::kNobody) return parse_(i, page, text);
  page.path.clear();
  page.read = PageRead::kUnreadable;
}

void ParseInOrder::TakeWaiting() {
  if (stopped_) return;
  if (const size_t run = ring_->Parsed(false); run > 0) TakeRun(run);
}

void ParseInOrder::TakeThrough(size_t i) {
  while (!stopped_ && taken_ <= i && taken_ < count_) {
    size_t run = ring_->Parsed(false);
    if (run == 0) {
      if (const size_t mine = ring_->TryBegin(); mine < count_) {
        ParseOrPass(mine, ring_->Page(mine), text_);
        ring_->Done(mine);
        continue;
      }
      run = ring_->Parsed(true);
    }
    TakeRun(run);
  }
}

void ParseInOrder::TakeRun(size_t run) {
  for (size_t k = 0; k < run; ++k)
    if (!take_(taken_ + k, ring_->Page(taken_ + k))) {
      stopped_ = true;
      ring_->Stop();
      return;
    }
  ring_->Taken(run);
  taken_ += run;
}
