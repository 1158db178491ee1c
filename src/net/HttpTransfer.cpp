#include "net/HttpTransfer.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "common/Text.h"
#include "net/CurlLibrary.h"

namespace {

// Reason phrases for responses that carry none (HTTP/2) or an empty one.
const char* StandardReason(long status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 410: return "Gone";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
  }
  return "";
}

// Failures of a HEAD request that a GET to the same server may not meet.
bool MayBeHeadOnly(CURLcode code) {
  return code == CURLE_GOT_NOTHING || code == CURLE_RECV_ERROR ||
         code == CURLE_WEIRD_SERVER_REPLY || code == CURLE_PARTIAL_FILE || code == CURLE_HTTP2 ||
         code == CURLE_HTTP2_STREAM;
}

bool IsCertificateProblem(CURLcode code) {
  return code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_CACERT_BADFILE ||
         code == CURLE_SSL_ISSUER_ERROR || code == CURLE_SSL_PINNEDPUBKEYNOTMATCH;
}

// "Retry-After: 120" or an HTTP date; -1 when it is neither.
long RetryAfterSeconds(const CurlLibrary& curl, std::string_view value) {
  const std::string text = Trim(value);
  if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
    return std::min(std::stol(text.substr(0, 9)), 999999999L);
  const time_t when = curl.getdate(text.c_str(), nullptr);
  return when < 0 ? -1 : std::max<long>(0, static_cast<long>(when - time(nullptr)));
}

}  // namespace

HttpTransfer::HttpTransfer(const CurlLibrary& curl, HttpJob job, const HttpCheckOptions& options,
                           curl_slist* headers)
    : curl_(curl), job_(std::move(job)), options_(options), handle_(curl.easy_init()) {
  curl.easy_setopt(handle_, CURLOPT_URL, job_.current.c_str());
  curl.easy_setopt(handle_, CURLOPT_PRIVATE, this);
  curl.easy_setopt(handle_, CURLOPT_NOBODY, job_.get ? 0L : 1L);
  curl.easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(handle_, CURLOPT_USERAGENT, options.userAgent.c_str());
  curl.easy_setopt(handle_, CURLOPT_HTTPHEADER, headers);
  curl.easy_setopt(handle_, CURLOPT_ACCEPT_ENCODING, "");
  curl.easy_setopt(handle_, CURLOPT_TIMEOUT, static_cast<long>(options.timeoutSeconds));
  curl.easy_setopt(
      handle_, CURLOPT_CONNECTTIMEOUT,
      static_cast<long>(std::min(options.connectTimeoutSeconds, options.timeoutSeconds)));
  curl.easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
  curl.easy_setopt(handle_, CURLOPT_ERRORBUFFER, error_);
  curl.easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
  curl.easy_setopt(handle_, CURLOPT_HEADERDATA, this);
  curl.easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
  curl.easy_setopt(handle_, CURLOPT_WRITEDATA, this);
  ++job_.outcome.requests;
}

HttpTransfer::~HttpTransfer() { curl_.easy_cleanup(handle_); }

size_t HttpTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<HttpTransfer*>(self);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    // "HTTP/1.1 404 Not Found": a new response begins.
    const size_t code = line.find(' ');
    const size_t reason = code == std::string_view::npos ? code : line.find(' ', code + 1);
    transfer->reason_ = reason == std::string_view::npos ? "" : Trim(line.substr(reason + 1));
    transfer->retryAfter_ = -1;
  } else if (line.size() > 12 && EqualsNoCase(line.substr(0, 12), "retry-after:")) {
    transfer->retryAfter_ = RetryAfterSeconds(transfer->curl_, line.substr(12));
  }
  return size * count;
}

// The status is all we want: the body is refused as soon as it starts.
size_t HttpTransfer::OnBody(char*, size_t, size_t, void* self) {
  static_cast<HttpTransfer*>(self)->bodyCut_ = true;
  return 0;
}

HttpNext HttpTransfer::Finish(CURLcode code) {
  long status = 0;
  curl_.easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
  if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && bodyCut_ && status > 0))
    return FinishResponse(status);
  return FinishFailed(code);
}

HttpNext HttpTransfer::FinishFailed(CURLcode code) {
  if (!job_.get && MayBeHeadOnly(code)) {
    job_.get = true;
    return HttpNext::kRequestAgain;
  }
  if (code == CURLE_OPERATION_TIMEDOUT) {
    if (job_.retries < options_.retries) return Retry(std::chrono::seconds(job_.retries + 1));
    return Fail(HttpOutcome::Failure::kTimedOut,
                "timed out after " + std::to_string(options_.timeoutSeconds) + " s");
  }
  if (code == CURLE_COULDNT_RESOLVE_HOST)
    return Fail(HttpOutcome::Failure::kHostNotFound, "host not found");
  if (code == CURLE_COULDNT_CONNECT) {
    long osError = 0;
    curl_.easy_getinfo(handle_, CURLINFO_OS_ERRNO, &osError);
    return Fail(HttpOutcome::Failure::kCouldNotConnect,
                "could not connect: " +
                    std::string(osError ? std::strerror(static_cast<int>(osError)) : error_));
  }
  if (IsCertificateProblem(code)) {
    std::string problem = error_;
    const std::string_view kPrefix = "SSL certificate problem: ";
    if (problem.starts_with(kPrefix)) problem.erase(0, kPrefix.size());
    return Fail(HttpOutcome::Failure::kCertificate, "certificate: " + problem);
  }
  return Fail(HttpOutcome::Failure::kOther, error_[0] ? error_ : curl_.easy_strerror(code));
}

HttpNext HttpTransfer::FinishResponse(long status) {
  HttpOutcome& outcome = job_.outcome;
  outcome.status = static_cast<int>(status);
  outcome.reason = reason_.empty() ? StandardReason(status) : reason_;
  outcome.finalUrl = job_.current;
  if (!job_.get && (status == 405 || status == 501)) {
    job_.get = true;
    return HttpNext::kRequestAgain;
  }
  const char* location = nullptr;
  curl_.easy_getinfo(handle_, CURLINFO_REDIRECT_URL, &location);
  if (status >= 300 && status < 400 && location) {
    if (job_.visited.empty() && (status == 301 || status == 308)) outcome.movedTo = location;
    job_.visited.push_back(job_.current);
    if (std::find(job_.visited.begin(), job_.visited.end(), location) != job_.visited.end())
      return Fail(HttpOutcome::Failure::kRedirectLoop, "redirect loop");
    if (static_cast<int>(job_.visited.size()) > options_.maxRedirects)
      return Fail(HttpOutcome::Failure::kTooManyRedirects,
                  "more than " + std::to_string(options_.maxRedirects) + " redirects");
    job_.current = location;
    return HttpNext::kRequestAgain;
  }
  if ((status == 429 || status >= 500) && job_.retries < options_.retries) {
    const bool asked = (status == 429 || status == 503) && retryAfter_ >= 0;
    return Retry(std::chrono::seconds(
        asked ? std::min<long>(retryAfter_, options_.maxRetryAfterSeconds) : job_.retries + 1));
  }
  return HttpNext::kDone;
}

HttpNext HttpTransfer::Retry(std::chrono::seconds wait) {
  ++job_.retries;
  job_.notBefore = std::chrono::steady_clock::now() + wait;
  return HttpNext::kRetry;
}

HttpNext HttpTransfer::Fail(HttpOutcome::Failure failure, std::string reason) {
  job_.outcome.failure = failure;
  job_.outcome.reason = std::move(reason);
  if (job_.outcome.finalUrl.empty()) job_.outcome.finalUrl = job_.current;
  if (failure != HttpOutcome::Failure::kRedirectLoop &&
      failure != HttpOutcome::Failure::kTooManyRedirects)
    job_.outcome.status = 0;
  return HttpNext::kDone;
}
