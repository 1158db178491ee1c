#include "links/SiteCheckReport.h"

#include "common/Escape.h"

namespace {

std::string Position(const SiteFinding& finding) {
  return EscapedLine(finding.page) + ":" + std::to_string(finding.line) + ": ";
}

}  // namespace

std::string FindingText(const SiteFinding& finding) {
  switch (finding.kind) {
    case SiteFinding::Kind::kBrokenLink:
      return Position(finding) + "broken link \"" + EscapedLine(finding.href) + "\" (" +
             EscapedLine(finding.target) + " does not exist)\n";
    case SiteFinding::Kind::kMissingAnchor:
      return Position(finding) + "missing anchor \"" + EscapedLine(finding.href) + "\"\n";
    case SiteFinding::Kind::kOrphan:
      return "orphan: " + EscapedLine(finding.page) + "\n";
  }
  return "";
}

std::string FindingJson(const SiteFinding& finding) {
  std::string json = "{\"kind\": " + JsonString(FindingKindName(finding.kind)) +
                     ", \"page\": " + JsonString(finding.page);
  if (finding.kind != SiteFinding::Kind::kOrphan) {
    json += ", \"line\": " + std::to_string(finding.line) + ", \"href\": " + JsonString(finding.href) +
            ", \"target\": " + JsonString(finding.target);
  }
  return json + "}\n";
}
