#include "net/HttpChecker.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "net/CurlLibrary.h"
#include "net/HttpTransfer.h"
#include "net/Url.h"

namespace {

using Clock = std::chrono::steady_clock;

// The jobs of one run on the checker's thread: waiting by host, delayed for a retry, under
// way, and the outcomes of those done.
class Schedule {
 public:
  Schedule(const CurlLibrary& curl, CURLM* multi, const HttpCheckOptions& options)
      : curl_(curl), multi_(multi), options_(options) {
    for (const std::string& header : options.headers)
      headers_ = curl.slist_append(headers_, header.c_str());
  }
  ~Schedule() {
    for (auto& [handle, transfer] : active_) curl_.multi_remove_handle(multi_, handle);
    curl_.slist_free_all(headers_);
  }

  void Add(const std::string& url) {
    if (!seen_.insert(url).second) return;
    HttpJob job;
    job.url = job.current = url;
    Queue(std::move(job));
  }

  // Starts what the limits allow, of the jobs that may go now.
  void StartDue() {
    const Clock::time_point now = Clock::now();
    for (auto it = delayed_.begin(); it != delayed_.end();) {
      if (it->notBefore > now) {
        ++it;
        continue;
      }
      Queue(std::move(*it));
      it = delayed_.erase(it);
    }
    for (auto& [host, queue] : waiting_) {
      while (!queue.empty() && activeByHost_[host] < options_.hostConnections &&
             static_cast<int>(active_.size()) < options_.connections) {
        auto transfer =
            std::make_unique<HttpTransfer>(curl_, std::move(queue.front()), options_, headers_);
        queue.pop_front();
        ++activeByHost_[host];
        curl_.multi_add_handle(multi_, transfer->Handle());
        active_.emplace(transfer->Handle(), std::move(transfer));
      }
    }
  }

  // Takes in the requests that ended.
  void CollectDone() {
    int left = 0;
    while (CURLMsg* message = curl_.multi_info_read(multi_, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      const auto found = active_.find(message->easy_handle);
      std::unique_ptr<HttpTransfer> transfer = std::move(found->second);
      active_.erase(found);
      curl_.multi_remove_handle(multi_, transfer->Handle());
      --activeByHost_[UrlHost(transfer->Job().current)];
      const HttpNext next = transfer->Finish(message->data.result);
      HttpJob& job = transfer->Job();
      if (next == HttpNext::kDone)
        outcomes_[job.url] = std::move(job.outcome);
      else if (next == HttpNext::kRetry)
        delayed_.push_back(std::move(job));
      else
        Queue(std::move(job));
    }
  }

  bool Idle() const { return active_.empty() && delayed_.empty() && NothingWaits(); }

  // How long the thread may sleep before a delayed job is due, at most a second.
  int WaitMilliseconds() const {
    Clock::duration wait = std::chrono::seconds(1);
    for (const HttpJob& job : delayed_) wait = std::min(wait, job.notBefore - Clock::now());
    return static_cast<int>(
        std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()));
  }

  std::map<std::string, HttpOutcome>& Outcomes() { return outcomes_; }

 private:
  void Queue(HttpJob job) {
    const std::string host = UrlHost(job.current);
    waiting_[host].push_back(std::move(job));
  }
  bool NothingWaits() const {
    return std::all_of(waiting_.begin(), waiting_.end(),
                       [](const auto& entry) { return entry.second.empty(); });
  }

  const CurlLibrary& curl_;
  CURLM* multi_;
  const HttpCheckOptions& options_;
  curl_slist* headers_ = nullptr;
  std::unordered_set<std::string> seen_;
  std::map<std::string, std::deque<HttpJob>> waiting_;  // by host, in the order asked
  std::unordered_map<std::string, int> activeByHost_;
  std::vector<HttpJob> delayed_;
  std::unordered_map<CURL*, std::unique_ptr<HttpTransfer>> active_;
  std::map<std::string, HttpOutcome> outcomes_;
};

}  // namespace

HttpChecker::HttpChecker(HttpCheckOptions options) : HttpChecker(std::move(options), Curl()) {}

HttpChecker::HttpChecker(HttpCheckOptions options, const CurlLibrary& curl)
    : options_(std::move(options)), curl_(curl) {
  if (!curl_.Loaded()) return;
  // Before any other call and before the thread starts, as libcurl asks.
  curl_.global_init(CURL_GLOBAL_DEFAULT);
  multi_ = curl_.multi_init();
  // libcurl keeps to the same limits on connections, idle ones included.
  curl_.multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS,
                     static_cast<long>(options_.hostConnections));
  curl_.multi_setopt(multi_, CURLMOPT_MAX_TOTAL_CONNECTIONS,
                     static_cast<long>(options_.connections));
  curl_.multi_setopt(multi_, CURLMOPT_MAXCONNECTS, static_cast<long>(options_.connections));
  thread_ = std::thread(&HttpChecker::Run, this);
}

HttpChecker::~HttpChecker() {
  if (!multi_) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = finishing_ = true;
  }
  curl_.multi_wakeup(multi_);
  if (thread_.joinable()) thread_.join();
  curl_.multi_cleanup(multi_);
  curl_.global_cleanup();
}

void HttpChecker::Check(const std::string& url) {
  {
    const std::lock_guard lock(mutex_);
    arrived_.push_back(url);
  }
  if (multi_) curl_.multi_wakeup(multi_);
}

std::map<std::string, HttpOutcome> HttpChecker::Finish() {
  if (!multi_) return FailEveryAddress();
  {
    const std::lock_guard lock(mutex_);
    finishing_ = true;
  }
  curl_.multi_wakeup(multi_);
  if (thread_.joinable()) thread_.join();
  return std::move(outcomes_);
}

std::map<std::string, HttpOutcome> HttpChecker::FailEveryAddress() const {
  std::map<std::string, HttpOutcome> outcomes;
  for (const std::string& url : arrived_) {
    HttpOutcome& outcome = outcomes[url];
    outcome.failure = HttpOutcome::Failure::kOther;
    outcome.reason = curl_.Problem();
    outcome.finalUrl = url;
  }
  return outcomes;
}

void HttpChecker::Run() {
  Schedule schedule(curl_, multi_, options_);
  std::vector<std::string> arrived;
  while (true) {
    bool finishing = false;
    {
      const std::lock_guard lock(mutex_);
      if (stopping_) return;
      arrived.swap(arrived_);
      finishing = finishing_;
    }
    for (const std::string& url : arrived) schedule.Add(url);
    arrived.clear();
    schedule.StartDue();
    int running = 0;
    curl_.multi_perform(multi_, &running);
    schedule.CollectDone();
    if (finishing && schedule.Idle()) break;
    schedule.StartDue();
    curl_.multi_poll(multi_, nullptr, 0, schedule.WaitMilliseconds(), nullptr);
  }
  outcomes_ = std::move(schedule.Outcomes());
}

std::string HttpCheckProblem() { return Curl().Problem(); }
