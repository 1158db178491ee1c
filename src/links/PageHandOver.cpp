#include "links/PageHandOver.h"

#include <utility>

namespace {

// A batch is worth a wake-up at this many pages, or when no more may wait. Few are handed
// back: room kept that the thread that reads does not use soon is memory lost.
constexpr size_t kBatchPages = 64;
constexpr size_t kMostPagesWaiting = 4 * kBatchPages;
constexpr size_t kMostBytesWaiting = size_t{8} << 20;
constexpr size_t kMostPagesHandedBack = 16;

size_t BytesOf(const TakenPage& taken) {
  const ParsedPage& page = taken.page;
  return page.links.capacity() * sizeof(ParsedLink) + page.linkTexts.capacity() + page.text.capacity();
}

}  // namespace

void PageHandOver::Wake(bool& waits) {
  waits = false;
  changed_.notify_all();
}

bool PageHandOver::FullBatch() const { return waiting_.size() >= kBatchPages || Full(); }

// A page larger than all the room goes over alone.
bool PageHandOver::Full() const {
  return !waiting_.empty() && (waiting_.size() >= kMostPagesWaiting || waitingBytes_ >= kMostBytesWaiting);
}

bool PageHandOver::Give(TakenPage& page) {
  std::unique_lock lock(mutex_);
  // A side that waits is woken once: the other clears its mark then.
  while (!stopped_ && Full()) {
    giverWaits_ = true;
    changed_.wait(lock);
  }
  if (stopped_) return false;
  waitingBytes_ += BytesOf(page);
  waiting_.push_back(std::move(page));
  if (!counted_.empty()) {
    std::swap(page, counted_.back());
    counted_.pop_back();
  }
  if (takerWaits_ && FullBatch()) Wake(takerWaits_);
  return true;
}

void PageHandOver::Finish() {
  const std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

bool PageHandOver::Take(std::vector<TakenPage>& batch) {
  std::unique_lock lock(mutex_);
  for (TakenPage& page : batch)
    if (counted_.size() < kMostPagesHandedBack) counted_.push_back(std::move(page));
  lock.unlock();
  batch.clear();  // what is not handed back goes here, outside the lock
  lock.lock();
  while (!finished_ && !FullBatch()) {
    takerWaits_ = true;
    changed_.wait(lock);
  }
  if (waiting_.empty()) return false;
  std::swap(batch, waiting_);
  waitingBytes_ = 0;
  if (giverWaits_) Wake(giverWaits_);
  return true;
}

void PageHandOver::Stop() {
  const std::lock_guard lock(mutex_);
  stopped_ = true;
  changed_.notify_all();
}
