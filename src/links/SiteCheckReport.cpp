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
  return text + "\n";
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
