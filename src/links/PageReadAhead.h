#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "links/CrawlPage.h"

// Parses pages on worker threads ahead of the one thread that takes them, the crawl, which
// counts them in its own order. Pages are asked for by a number of the caller's choosing,
// those needed soonest first, and taken by it; a page no worker has begun is parsed by the
// taker itself rather than waited for. Only a bounded number of parsed pages wait at a time.
class PageReadAhead {
 public:
  using Parse = std::function<ParsedPage(const std::string& target)>;
  // `parse` runs on the workers and must be safe to run on several threads at once.
  PageReadAhead(int workers, Parse parse);
  ~PageReadAhead();  // drops what is left and joins the workers
  PageReadAhead(const PageReadAhead&) = delete;
  PageReadAhead& operator=(const PageReadAhead&) = delete;

  // Queues targets (number, path), the first needed first, ahead of those queued before.
  void Ask(std::vector<std::pair<size_t, std::string>>& targets);
  // The page asked for as `number`.
  ParsedPage Take(size_t number);
  // Forgets a page asked for that will not be taken.
  void Drop(size_t number);

 private:
  enum class State { kQueued, kParsing, kParsed, kDropped };
  struct Job {
    State state = State::kQueued;
    std::string target;
    ParsedPage page;
  };

  void Work();
  bool HasRoom() const { return parsed_ < maxParsed_; }

  Parse parse_;
  size_t maxParsed_;
  std::mutex mutex_;
  std::condition_variable workToDo_;
  std::condition_variable pageParsed_;
  std::deque<size_t> queue_;  // next first; numbers no longer queued are passed over
  std::unordered_map<size_t, Job> jobs_;
  size_t parsed_ = 0;  // jobs parsing or parsed, not taken yet
  bool taking_ = false;  // the taker waits for a page
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};
