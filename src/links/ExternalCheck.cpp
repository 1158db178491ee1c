#include "links/ExternalCheck.h"

#include <algorithm>

#include "common/Text.h"
#include "links/MailAddress.h"
#include "net/Url.h"
#include "platform/Program.h"

namespace {

std::string SchemeOf(const std::string& address) {
  const size_t colon = address.find(':');
  return colon == std::string::npos ? "" : ToLowerAscii(address.substr(0, colon));
}

SiteFinding ExternalFinding(SiteFinding::Kind kind, const std::string& page, int64_t line,
                            const std::string& href) {
  return SiteFinding{kind, page, line, href, href, 0, {}, {}};
}

}  // namespace

ExternalCheck::ExternalCheck(const ExternalCheckSettings& settings)
    : settings_(settings), checker_(settings.http) {
  std::string problem;
  for (const std::string& pattern : settings.excludeUrls)
    excludes_.emplace_back().Compile(pattern, problem);
  if (!settings.cachePath.empty())
    cache_.emplace(settings.cachePath, settings.maxCacheAgeSeconds, CurrentTime());
}

void ExternalCheck::ExternalLinkFound(const std::string& address, const std::string& page,
                                      int64_t line) {
  Occurrence occurrence{page, line, address};
  const std::string scheme =
      address.starts_with("//") ? settings_.schemeOfBareHost : SchemeOf(address);
  if (scheme == "mailto") {
    ++counts_.mailLinks;
    if (!IsValidMailLink(address))
      findings_.push_back(ExternalFinding(SiteFinding::Kind::kBadMailLink, page, line, address));
  } else if (scheme == "http" || scheme == "https") {
    const std::string absolute = address.starts_with("//") ? scheme + ":" + address : address;
    if (const std::optional<std::string> url = NormaliseWebUrl(absolute)) {
      CheckWebAddress(*url, std::move(occurrence));
    } else {
      SiteFinding& finding = findings_.emplace_back(
          ExternalFinding(SiteFinding::Kind::kBrokenExternal, page, line, address));
      finding.reason = "not a valid address";
    }
  } else {
    ++counts_.skipped;
  }
}

void ExternalCheck::CheckWebAddress(const std::string& url, Occurrence occurrence) {
  if (answered_.contains(url)) return;
  if (const auto found = requested_.find(url); found != requested_.end()) {
    found->second.push_back(std::move(occurrence));
    return;
  }
  if (IsExcluded(url)) {
    ++counts_.excluded;
    answered_.insert(url);
  } else if (cache_ && IsAccepted(cache_->StatusOf(url))) {
    ++counts_.fromCache;
    answered_.insert(url);
  } else {
    ++counts_.requested;
    requested_[url].push_back(std::move(occurrence));
    checker_.Check(url);
  }
}

std::vector<SiteFinding> ExternalCheck::Finish() {
  std::vector<SiteFinding> findings = std::move(findings_);
  for (const auto& [url, outcome] : checker_.Finish()) AddFindings(url, outcome, findings);
  if (cache_) cache_->Save();
  SortFindings(findings);
  return findings;
}

void ExternalCheck::AddFindings(const std::string& url, const HttpOutcome& outcome,
                                std::vector<SiteFinding>& findings) {
  const bool broken = outcome.failure != HttpOutcome::Failure::kNone || !IsAccepted(outcome.status);
  const bool moved = !outcome.movedTo.empty();
  if (!broken && !moved) {
    if (cache_) cache_->Keep(url, outcome.status);
    return;
  }
  for (const Occurrence& occurrence : requested_[url]) {
    SiteFinding& finding = findings.emplace_back(ExternalFinding(
        broken ? SiteFinding::Kind::kBrokenExternal : SiteFinding::Kind::kRedirected,
        occurrence.page, occurrence.line, occurrence.href));
    finding.target = url;
    finding.status = outcome.failure == HttpOutcome::Failure::kNone ? outcome.status : 0;
    finding.reason = outcome.reason;
    finding.finalUrl = broken ? outcome.finalUrl : outcome.movedTo;
  }
}

bool ExternalCheck::IsAccepted(int status) const {
  return std::any_of(
      settings_.accept.begin(), settings_.accept.end(),
      [status](const StatusRange& range) { return status >= range.first && status <= range.last; });
}

bool ExternalCheck::IsExcluded(const std::string& url) const {
  return std::any_of(excludes_.begin(), excludes_.end(),
                     [&url](const RegularExpression& e) { return e.Finds(url); });
}

std::string ExcludeUrlProblem(const std::vector<std::string>& patterns) {
  for (const std::string& pattern : patterns) {
    RegularExpression expression;
    std::string problem;
    if (!expression.Compile(pattern, problem)) return "bad pattern \"" + pattern + "\": " + problem;
  }
  return "";
}
