#include "links/PageHandOver.h"

#include <utility>

namespace {

// A batch is worth a wake-up at this many pages or a quarter of the bytes that may wait.
constexpr size_t kBatchPages = 64;
constexpr size_t kMostPagesWaiting = 4 * kBatchPages;
constexpr size_t kMostBytesWaiting = size_t{16} << 20;

size_t BytesOf(const TakenPage& taken) {
  const ParsedPage& page = taken.page;
  return page.links.capacity() * sizeof(ParsedLink) + page.linkTexts.size() + page.text.size();
}

}  // namespace

bool PageHandOver::FullBatch() const {
  return waiting_.size() >= kBatchPages || waitingBytes_ >= kMostBytesWaiting / 4;
}

bool PageHandOver::Give(TakenPage& page) {
  std::unique_lock lock(mutex_);
  // A page larger than all the room goes over alone.
  const auto full = [this] {
    return !waiting_.empty() && (waiting_.size() >= kMostPagesWaiting || waitingBytes_ >= kMostBytesWaiting);
  };
  giverWaits_ = true;
  changed_.wait(lock, [&] { return stopped_ || !full(); });
  giverWaits_ = false;
  if (stopped_) return false;
  waitingBytes_ += BytesOf(page);
  waiting_.push_back(std::move(page));
  if (!counted_.empty()) {
    std::swap(page, counted_.back());
    counted_.pop_back();
  }
  if (takerWaits_ && FullBatch()) changed_.notify_all();
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
    if (counted_.size() < kMostPagesWaiting) counted_.push_back(std::move(page));
  lock.unlock();
  batch.clear();  // what is not handed back goes here, outside the lock
  lock.lock();
  takerWaits_ = true;
  changed_.wait(lock, [this] { return finished_ || FullBatch(); });
  takerWaits_ = false;
  if (waiting_.empty()) return false;
  std::swap(batch, waiting_);
  waitingBytes_ = 0;
  if (giverWaits_) changed_.notify_all();
  return true;
}

void PageHandOver::Stop() {
  const std::lock_guard lock(mutex_);
  stopped_ = true;
  changed_.notify_all();
}
