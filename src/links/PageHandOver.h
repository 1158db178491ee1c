#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "links/CrawlOrder.h"

// Carries the pages of a crawl, in order, from the thread that takes them up to the thread
// that counts them. Pages go over in batches, so that neither side locks or wakes the other
// for every page; a bounded number wait, so that the parsed links take little memory. Pages
// counted go back to the giver, whose next pages are read into their room.
class PageHandOver {
 public:
  // Hands `page` over and leaves a counted one in its place, or an empty one. False when
  // the taker has stopped: the giver then stops too. Giver's side only, as is Finish.
  bool Give(TakenPage& page);
  // No more pages will come: the pages given go over.
  void Finish();
  // Hands back the pages of `batch` and swaps the waiting ones into it; false when none
  // will come.
  bool Take(std::vector<TakenPage>& batch);
  // The taker takes no more: a giver waiting for room goes on, and stops.
  void Stop();

 private:
  // Moves the pages given so far to those waiting, when there is room for them, and takes
  // the pages handed back; false when the taker has stopped.
  bool HandOverGiven();
  bool Full() const;
  void Wake(bool& waits);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TakenPage> waiting_;
  std::vector<TakenPage> counted_;  // taken and handed back, to be given again
  size_t countedBytes_ = 0;
  // The giver's own, outside the lock: pages given since the last batch, and room handed back.
  std::vector<TakenPage> giving_;
  size_t givingBytes_ = 0;
  std::vector<TakenPage> spare_;
  size_t waitingBytes_ = 0;
  bool giverWaits_ = false;
  bool takerWaits_ = false;
  bool finished_ = false;
  bool stopped_ = false;
};
