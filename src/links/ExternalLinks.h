#pragma once
#include <cstdint>
#include <string>

// Where the site check hands each link that leaves the site, as soon as it is found; the
// crawl goes on without waiting for what becomes of it.
class ExternalLinkSink {
 public:
  virtual ~ExternalLinkSink() = default;
  // `address` as the page gives it (read as a browser reads an href), found on `page`
  // (relative to the start folder) at `line`.
  virtual void ExternalLinkFound(const std::string& address, const std::string& page,
                                 int64_t line) = 0;
};
