#pragma once
#include <optional>
#include <string>
#include <vector>

#include "links/ExternalCheck.h"

class CCommandLineOptions;

// What the command line asks of the check of outside links.
struct ExternalRequest {
  bool check = false;  // --check-external
  bool cache = false;
  ExternalCheckSettings settings;  // the profile's ExcludeUrls not yet added
};

// Reads the options of the outside-link check into `request`; returns the first usage
// problem, empty when there is none.
std::string ReadExternalOptions(const CCommandLineOptions& options, ExternalRequest& request);

// "200..299,403" as ranges; nullopt when it does not parse.
std::optional<std::vector<StatusRange>> ParseStatusRanges(const std::string& text);
// "90", "90s", "15m", "2h" or "1d" in seconds; nullopt when it does not parse.
std::optional<int64_t> ParseAge(const std::string& text);

// The settings of one check: the request's, with the patterns of the profile first, the
// cache file found, and the user agent and the scheme of "//host" links set.
ExternalCheckSettings ExternalSettingsForRun(const ExternalRequest& request,
                                             const std::vector<std::string>& profilePatterns,
                                             const std::string& domain);
