#pragma once
#include <string>
#include <vector>

// How addresses are requested: politely, within limits.
struct HttpCheckOptions {
  int hostConnections = 4;  // at a time to one host
  int connections = 64;     // at a time in all
  int timeoutSeconds = 30;  // for a whole request
  int connectTimeoutSeconds = 10;
  int retries = 2;  // after a timeout, a 429 or a 5xx
  int maxRetryAfterSeconds = 60;
  int maxRedirects = 10;
  std::string userAgent;
  std::vector<std::string> headers;  // "Name: value", sent with every request
};

// What became of one address.
struct HttpOutcome {
  enum class Failure {
    kNone,
    kTimedOut,
    kCouldNotConnect,
    kHostNotFound,
    kCertificate,
    kRedirectLoop,
    kTooManyRedirects,
    kOther
  };
  Failure failure = Failure::kNone;
  int status = 0;        // of the last response; 0 when the failure left none
  std::string reason;    // the status's reason phrase, or what failed ("host not found")
  std::string finalUrl;  // where the redirects led
  std::string movedTo;   // where a permanent redirect (301, 308) of the address itself points
  int requests = 0;      // sent for it, retries and redirects included

  bool operator==(const HttpOutcome&) const = default;
};
