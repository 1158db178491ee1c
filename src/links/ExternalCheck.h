#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "links/ExternalLinks.h"
#include "links/LinkCache.h"
#include "links/SiteCheck.h"
#include "net/HttpCheck.h"
#include "net/HttpChecker.h"
#include "platform/RegularExpression.h"

// Statuses from `first` to `last` count as good.
struct StatusRange {
  int first = 200;
  int last = 299;
};

// What the check of outside links does besides requesting them.
struct ExternalCheckSettings {
  HttpCheckOptions http;
  std::vector<std::string> excludeUrls;  // POSIX extended regular expressions
  std::vector<StatusRange> accept = {StatusRange{}};
  std::string cachePath;  // empty: no cache
  int64_t maxCacheAgeSeconds = 24 * 60 * 60;
  std::string schemeOfBareHost = "https";  // for "//host/path"
};

struct ExternalCheckCounts {
  int64_t requested = 0;  // distinct web addresses requested
  int64_t fromCache = 0;  // distinct web addresses the cache answered
  int64_t excluded = 0;   // distinct addresses left out by an exclusion
  int64_t mailLinks = 0;  // "mailto:" links, each checked for its syntax
  int64_t skipped = 0;    // links of other schemes (tel:, javascript:, ftp: ...)
};

// Checks the links that leave the site: web addresses are requested at once, on the
// checker's thread, each once, while the crawl goes on; mail links get a syntax check.
class ExternalCheck : public ExternalLinkSink {
 public:
  // The settings' patterns must compile (see ExcludeUrlProblem); the cache is read now.
  explicit ExternalCheck(const ExternalCheckSettings& settings);

  void ExternalLinkFound(const std::string& address, const std::string& page,
                         int64_t line) override;
  // Waits for the requests and returns the findings, a line each; keeps the good addresses
  // in the cache.
  std::vector<SiteFinding> Finish();
  const ExternalCheckCounts& Counts() const { return counts_; }

 private:
  struct Occurrence {
    std::string page;
    int64_t line = 0;
    std::string href;
  };
  bool IsAccepted(int status) const;
  bool IsExcluded(const std::string& url) const;
  void CheckWebAddress(const std::string& url, Occurrence occurrence);
  void AddFindings(const std::string& url, const HttpOutcome& outcome,
                   std::vector<SiteFinding>& findings);

  ExternalCheckSettings settings_;
  std::vector<RegularExpression> excludes_;
  std::optional<LinkCache> cache_;
  HttpChecker checker_;
  ExternalCheckCounts counts_;
  std::unordered_map<std::string, std::vector<Occurrence>> requested_;  // by address
  std::unordered_set<std::string> answered_;                            // by the cache, or left out
  std::vector<SiteFinding> findings_;                                   // known without a request
};

// What is wrong with the first of `patterns` that does not compile; empty when all do.
std::string ExcludeUrlProblem(const std::vector<std::string>& patterns);
