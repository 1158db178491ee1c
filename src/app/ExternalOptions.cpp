#include "app/ExternalOptions.h"

#include <charconv>

#include "app/CommandLine.h"
#include "common/Maker.h"
#include "common/Text.h"
#include "platform/Program.h"

namespace {

std::optional<int64_t> WholeNumber(std::string_view text) {
  int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < 0) return std::nullopt;
  return number;
}

// The value of a count option from 1 to `most` into `target`; a problem when it is none.
std::string ReadCount(const CCommandLineOptions& options, const char* name, int64_t most,
                      int& target) {
  std::string value;
  if (!options.FindOption(name, value)) return "";
  const std::optional<int64_t> number = WholeNumber(value);
  if (!number || *number < 1 || *number > most)
    return std::string("--") + name + " takes a number from 1 to " + std::to_string(most) +
           ", not \"" + value + "\"";
  target = static_cast<int>(*number);
  return "";
}

std::string ReadHeaders(const CCommandLineOptions& options, std::vector<std::string>& headers) {
  for (const std::string& header : options.Values("header")) {
    const size_t colon = header.find(':');
    if (colon == std::string::npos || colon == 0 ||
        header.find_first_of("\r\n") != std::string::npos)
      return "--header takes 'Name: value', not \"" + header + "\"";
    headers.push_back(header);
  }
  return "";
}

}  // namespace

std::optional<std::vector<StatusRange>> ParseStatusRanges(const std::string& text) {
  std::vector<StatusRange> ranges;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view piece = TrimView(std::string_view(text).substr(start, comma - start));
    const size_t dots = piece.find("..");
    const auto first = WholeNumber(piece.substr(0, dots));
    const auto last = dots == std::string_view::npos ? first : WholeNumber(piece.substr(dots + 2));
    if (!first || !last || *first < 100 || *last > 999 || *first > *last) return std::nullopt;
    ranges.push_back({static_cast<int>(*first), static_cast<int>(*last)});
    start = comma + 1;
  }
  return ranges;
}

std::optional<int64_t> ParseAge(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const std::string units = "smhd";
  const int64_t seconds[] = {1, 60, 60 * 60, 24 * 60 * 60};
  const size_t unit = units.find(ToLowerAscii(text.back()));
  const std::optional<int64_t> number =
      WholeNumber(unit == std::string::npos ? text : text.substr(0, text.size() - 1));
  if (!number) return std::nullopt;
  return *number * (unit == std::string::npos ? 1 : seconds[unit]);
}

std::string ReadExternalOptions(const CCommandLineOptions& options, ExternalRequest& request) {
  std::string value;
  request.check = options.FindOption("check-external", value);
  request.cache = options.FindOption("cache", value);
  ExternalCheckSettings& settings = request.settings;
  HttpCheckOptions& http = settings.http;
  for (std::string problem : {ReadCount(options, "host-connections", 1000, http.hostConnections),
                              ReadCount(options, "connections", 10000, http.connections),
                              ReadCount(options, "timeout", 3600, http.timeoutSeconds),
                              ReadHeaders(options, http.headers)})
    if (!problem.empty()) return problem;
  if (options.FindOption("accept", value)) {
    const auto ranges = ParseStatusRanges(value);
    if (!ranges)
      return "--accept takes statuses and ranges such as 200..299,403, not \"" + value + "\"";
    settings.accept = *ranges;
  }
  if (options.FindOption("max-cache-age", value)) {
    const auto age = ParseAge(value);
    if (!age)
      return "--max-cache-age takes seconds or a number with s, m, h or d, not \"" + value + "\"";
    settings.maxCacheAgeSeconds = *age;
  }
  settings.excludeUrls = options.Values("exclude-url");
  const std::string problem = ExcludeUrlProblem(settings.excludeUrls);
  return problem.empty() ? "" : "--exclude-url: " + problem;
}

ExternalCheckSettings ExternalSettingsForRun(const ExternalRequest& request,
                                             const std::vector<std::string>& profilePatterns,
                                             const std::string& domain) {
  ExternalCheckSettings settings = request.settings;
  settings.excludeUrls.insert(settings.excludeUrls.begin(), profilePatterns.begin(),
                              profilePatterns.end());
  if (request.cache) settings.cachePath = UserCacheFolder() + "/links.tsv";
  settings.http.userAgent = kUserAgent;
  settings.schemeOfBareHost = ToLowerAscii(domain).starts_with("http://") ? "http" : "https";
  return settings;
}
