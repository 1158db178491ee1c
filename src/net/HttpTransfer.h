#pragma once
#include <curl/curl.h>

#include <chrono>
#include <string>
#include <vector>

#include "net/HttpCheck.h"

class CurlLibrary;

// One address on its way through requests: HEAD first, GET when HEAD is refused, its
// redirects and retries.
struct HttpJob {
  std::string url;                   // as asked for
  std::string current;               // the address requested next
  std::vector<std::string> visited;  // by the redirects so far
  bool get = false;                  // HEAD was refused
  int retries = 0;
  std::chrono::steady_clock::time_point notBefore;  // of the next request
  HttpOutcome outcome;
};

// What to do after a request.
enum class HttpNext { kDone, kRetry, kRequestAgain };

// One request of a job on a libcurl easy handle, which the multi handle drives.
class HttpTransfer {
 public:
  HttpTransfer(const CurlLibrary& curl, HttpJob job, const HttpCheckOptions& options,
               curl_slist* headers);
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  CURL* Handle() const { return handle_; }
  // Reads the finished request's result `code` into the job: done, to be retried after
  // the wait it sets, or to be requested again at once (GET after HEAD, a redirect).
  HttpNext Finish(CURLcode code);
  HttpJob& Job() { return job_; }

 private:
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  HttpNext FinishFailed(CURLcode code);
  HttpNext FinishResponse(long status);
  HttpNext Retry(std::chrono::seconds wait);
  HttpNext Fail(HttpOutcome::Failure failure, std::string reason);

  const CurlLibrary& curl_;
  HttpJob job_;
  const HttpCheckOptions& options_;
  CURL* handle_;
  char error_[CURL_ERROR_SIZE] = {};
  std::string reason_;    // of the last status line
  long retryAfter_ = -1;  // seconds the last response asked for; -1 when it did not
  bool bodyCut_ = false;  // the body was refused on purpose once the status was in
};
