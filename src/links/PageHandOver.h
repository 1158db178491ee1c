#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "links/CrawlOrder.h"

// Carries the pages of a crawl, in order, from the thread that takes them up to the thread
// that counts them. Pages go over in batches, so that neither side wakes the other for
// every page; a bounded number wait, so that the parsed links take little memory.
class PageHandOver {
 public:
  // False when the taker has stopped: the giver then stops too.
  bool Give(TakenPage&& page);
  // No more pages will come.
  void Finish();
  // Swaps the waiting pages into `batch` (emptied first); false when none will come.
  bool Take(std::vector<TakenPage>& batch);
  // The taker takes no more: a giver waiting for room goes on, and stops.
  void Stop();

 private:
  bool FullBatch() const;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TakenPage> waiting_;
  size_t waitingBytes_ = 0;
  bool giverWaits_ = false;
  bool takerWaits_ = false;
  bool finished_ = false;
  bool stopped_ = false;
};
