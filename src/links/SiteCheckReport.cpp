#include "links/SiteCheckReport.h"

#include "common/Escape.h"

namespace {

std::string Position(const SiteFinding& finding) {
  return EscapedLine(finding.page) + ":" + std::to_string(finding.line) + ": ";
}

}  // namespace

std::string FindingText(const SiteFinding& finding) {
  if (finding.kind == SiteFinding::Kind::kOrphan) return "orphan: " + EscapedLine(finding.page) + "\n";
  std::string text =
      Position(finding) + FindingKindName(finding.kind) + " \"" + EscapedLine(finding.href) + "\"";
  if (IsBrokenTarget(finding.kind)) text += " (" + EscapedLine(finding.target) + " does not exist)";
  if (finding.kind == SiteFinding::Kind::kBrokenExternal)
    text += " (" + EscapedLine(ExternalProblem(finding)) + ")";
  if (finding.kind == SiteFinding::Kind::kRedirected)
    text += " to \"" + EscapedLine(finding.finalUrl) + "\"";
  return text + "\n";
}

std::string ExternalProblem(const SiteFinding& finding) {
  return finding.status ? std::to_string(finding.status) + " " + finding.reason : finding.reason;
}

std::string FindingJson(const SiteFinding& finding) {
  std::string json = "{\"kind\": " + JsonString(FindingKindName(finding.kind)) +
                     ", \"page\": " + JsonString(finding.page);
  if (finding.kind != SiteFinding::Kind::kOrphan)
    json +=
        ", \"line\": " + std::to_string(finding.line) + ", \"href\": " + JsonString(finding.href);
  if (IsExternal(finding.kind)) {
    json += ", \"status\": " + std::to_string(finding.status) +
            ", \"reason\": " + JsonString(finding.reason) +
            ", \"url\": " + JsonString(finding.target) +
            ", \"final_url\": " + JsonString(finding.finalUrl);
  } else if (finding.kind != SiteFinding::Kind::kOrphan) {
    json += ", \"target\": " + JsonString(finding.target);
  }
  return json + "}\n";
}
