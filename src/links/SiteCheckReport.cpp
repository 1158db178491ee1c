#include "links/SiteCheckReport.h"

#include <cstdio>

namespace {

std::string Position(const SiteFinding& finding) {
  return finding.page + ":" + std::to_string(finding.line) + ": ";
}

}  // namespace

std::string FindingText(const SiteFinding& finding) {
  switch (finding.kind) {
    case SiteFinding::Kind::kBrokenLink:
      return Position(finding) + "broken link \"" + finding.href + "\" (" + finding.target +
             " does not exist)\n";
    case SiteFinding::Kind::kMissingAnchor:
      return Position(finding) + "missing anchor \"" + finding.href + "\"\n";
    case SiteFinding::Kind::kOrphan:
      return "orphan: " + finding.page + "\n";
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

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      json.append(1, '\\').append(1, c);
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}
