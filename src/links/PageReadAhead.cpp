#include "links/PageReadAhead.h"

#include "platform/Memory.h"

namespace {

// Parsed pages that may wait per worker: enough to keep it busy while the crawl takes up a
// run of pages it reads itself, few enough that their links take little memory.
constexpr size_t kParsedPerWorker = 64;

}  // namespace

PageReadAhead::PageReadAhead(int workers, Parse parse)
    : parse_(std::move(parse)), maxParsed_(kParsedPerWorker * static_cast<size_t>(workers)) {
  ShareOneMemoryPool();
  for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

PageReadAhead::~PageReadAhead() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workToDo_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void PageReadAhead::Ask(std::vector<std::pair<size_t, std::string>>& targets) {
  if (targets.empty()) return;
  {
    const std::lock_guard lock(mutex_);
    for (auto it = targets.rbegin(); it != targets.rend(); ++it) {
      queue_.push_front(it->first);
      jobs_[it->first] = Job{State::kQueued, std::move(it->second), {}};
    }
  }
  targets.clear();
  workToDo_.notify_all();
}

ParsedPage PageReadAhead::Take(size_t number) {
  std::unique_lock lock(mutex_);
  const auto job = jobs_.find(number);
  if (job->second.state == State::kQueued) {
    const std::string target = std::move(job->second.target);
    jobs_.erase(job);
    lock.unlock();
    return parse_(target);
  }
  taking_ = true;
  pageParsed_.wait(lock, [&] { return job->second.state == State::kParsed; });
  taking_ = false;
  ParsedPage page = std::move(job->second.page);
  jobs_.erase(job);
  --parsed_;
  lock.unlock();
  workToDo_.notify_one();
  return page;
}

void PageReadAhead::Drop(size_t number) {
  const std::lock_guard lock(mutex_);
  const auto job = jobs_.find(number);
  if (job->second.state == State::kParsing) {
    job->second.state = State::kDropped;  // the worker forgets it when done
    return;
  }
  if (job->second.state == State::kParsed) {
    --parsed_;
    workToDo_.notify_one();  // room for one more
  }
  jobs_.erase(job);
}

void PageReadAhead::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    workToDo_.wait(lock, [&] { return stopping_ || (!queue_.empty() && HasRoom()); });
    if (stopping_) return;
    const size_t number = queue_.front();
    queue_.pop_front();
    const auto job = jobs_.find(number);
    if (job == jobs_.end() || job->second.state != State::kQueued) continue;  // taken or dropped
    job->second.state = State::kParsing;
    ++parsed_;
    const std::string target = std::move(job->second.target);
    lock.unlock();
    ParsedPage page = parse_(target);
    lock.lock();
    // Other jobs may have come and gone; this one stays until taken or dropped.
    Job& done = jobs_[number];
    if (done.state == State::kDropped) {
      jobs_.erase(number);
      --parsed_;
      continue;
    }
    done.page = std::move(page);
    done.state = State::kParsed;
    if (taking_) pageParsed_.notify_one();
  }
}
