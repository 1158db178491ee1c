#include "links/PageHandOver.h"

#include <utility>

namespace {

// Pages go over in batches of this many, or of half the bytes that may wait, so that neither
// side takes the lock or wakes the other for every page. Pages are handed back as far as
// their room is small: room kept that the thread that reads does not use soon is memory
// lost, but room made anew for every page costs the time of both threads.
constexpr size_t kBatchPages = 64;
constexpr size_t kMostPagesWaiting = 4 * kBatchPages;
constexpr size_t kMostBytesWaiting = size_t{8} << 20;
constexpr size_t kMostBytesHandedBack = size_t{1} << 20;

size_t BytesOf(const TakenPage& taken) {
  const ParsedPage& page = taken.page;
  return page.links.capacity() * sizeof(ParsedLink) + page.linkTexts.capacity() + page.text.capacity();
}

}  // namespace

void PageHandOver::Wake(bool& waits) {
  waits = false;
  changed_.notify_all();
}

// A page larger than all the room goes over alone.
bool PageHandOver::Full() const {
  return !waiting_.empty() && (waiting_.size() >= kMostPagesWaiting || waitingBytes_ >= kMostBytesWaiting);
}

bool PageHandOver::Give(TakenPage& page) {
  givingBytes_ += BytesOf(page);
  giving_.push_back(std::move(page));
  if (!spare_.empty()) {
    std::swap(page, spare_.back());
    spare_.pop_back();
  }
  if (giving_.size() < kBatchPages && givingBytes_ < kMostBytesWaiting / 2) return true;
  return HandOverGiven();
}

bool PageHandOver::HandOverGiven() {
  std::unique_lock lock(mutex_);
  // A side that waits is woken once: the other clears its mark then.
  while (!stopped_ && Full()) {
    giverWaits_ = true;
    changed_.wait(lock);
  }
  if (stopped_) return false;
  waiting_.insert(waiting_.end(), std::make_move_iterator(giving_.begin()), std::make_move_iterator(giving_.end()));
  waitingBytes_ += givingBytes_;
  spare_.insert(spare_.end(), std::make_move_iterator(counted_.begin()), std::make_move_iterator(counted_.end()));
  counted_.clear();
  countedBytes_ = 0;
  if (takerWaits_) Wake(takerWaits_);
  lock.unlock();
  giving_.clear();
  givingBytes_ = 0;
  return true;
}

void PageHandOver::Finish() {
  if (!giving_.empty()) HandOverGiven();
  const std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

bool PageHandOver::Take(std::vector<TakenPage>& batch) {
  std::unique_lock lock(mutex_);
  for (TakenPage& page : batch) {
    if (counted_.size() >= kMostPagesWaiting || countedBytes_ + BytesOf(page) > kMostBytesHandedBack) break;
    countedBytes_ += BytesOf(page);
    counted_.push_back(std::move(page));
  }
  lock.unlock();
  batch.clear();  // what is not handed back goes here, outside the lock
  lock.lock();
  while (!finished_ && waiting_.empty()) {
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
