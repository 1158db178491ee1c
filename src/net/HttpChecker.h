#pragma once
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/HttpCheck.h"

typedef void CURLM;  // as libcurl declares it, which stays out of this header

// Requests addresses on a thread of its own with libcurl's multi interface, within the
// limits of its options, while the caller goes on; each address once.
class HttpChecker {
 public:
  explicit HttpChecker(HttpCheckOptions options);
  ~HttpChecker();  // stops what is still under way and waits for the thread
  HttpChecker(const HttpChecker&) = delete;
  HttpChecker& operator=(const HttpChecker&) = delete;

  // Asks for `url` (normalised, http or https) to be checked; returns at once. An address
  // asked for before is not requested again.
  void Check(const std::string& url);
  // Waits until every address asked for is checked, and returns their outcomes by address.
  std::map<std::string, HttpOutcome> Finish();

 private:
  void Run();

  HttpCheckOptions options_;
  CURLM* multi_;
  std::mutex mutex_;
  std::vector<std::string> arrived_;  // asked for, not yet taken by the thread
  bool finishing_ = false;
  bool stopping_ = false;
  std::map<std::string, HttpOutcome> outcomes_;  // the thread's own until it ends
  std::thread thread_;
};
