#pragma once
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/HttpCheck.h"

typedef void CURLM;  // as libcurl declares it, which stays out of this header
class CurlLibrary;

// Requests addresses on a thread of its own with libcurl's multi interface, within the
// limits of its options, while the caller goes on; each address once.
class HttpChecker {
 public:
  // Through the program's libcurl, opened now if it is not yet.
  explicit HttpChecker(HttpCheckOptions options);
  // Through `curl`; when it is not loaded, every address fails with the reason.
  HttpChecker(HttpCheckOptions options, const CurlLibrary& curl);
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
  std::map<std::string, HttpOutcome> FailEveryAddress() const;

  HttpCheckOptions options_;
  const CurlLibrary& curl_;
  CURLM* multi_ = nullptr;  // none without libcurl
  std::mutex mutex_;
  std::vector<std::string> arrived_;  // asked for, not yet taken by the thread
  bool finishing_ = false;
  bool stopping_ = false;
  std::map<std::string, HttpOutcome> outcomes_;  // the thread's own until it ends
  std::thread thread_;
};

// Why addresses cannot be requested (libcurl cannot be loaded); empty when they can. The
// first call loads libcurl.
std::string HttpCheckProblem();
