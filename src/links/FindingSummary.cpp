#include "links/FindingSummary.h"

#include <algorithm>
#include <map>
#include <set>

#include "common/Escape.h"
#include "common/Text.h"
#include "links/SiteCheckReport.h"

namespace {

// The links to one missing target.
struct TargetGroup {
  const SiteFinding* first = nullptr;
  int64_t links = 0;
  std::set<std::string> pages;
};

// What is wrong with the target of `finding`: "missing", "404 Not Found".
std::string Fault(const SiteFinding& finding) {
  switch (finding.kind) {
    case SiteFinding::Kind::kMissingAnchor: return "no such anchor";
    case SiteFinding::Kind::kBrokenExternal: return ExternalProblem(finding);
    case SiteFinding::Kind::kRedirected: return "moved to " + finding.finalUrl;
    case SiteFinding::Kind::kBadMailLink: return "bad mail link";
    default: return "missing";
  }
}

std::string GroupLine(const std::string& target, const TargetGroup& group) {
  return EscapedLine(target) + ": " + EscapedLine(Fault(*group.first)) + ", linked " +
         Counted(group.links, "time") + " from " +
         Counted(static_cast<int64_t>(group.pages.size()), "page") + " (first: " +
         EscapedLine(group.first->page) + ":" + std::to_string(group.first->line) + ")\n";
}

std::string OrphansLine(const std::vector<const SiteFinding*>& orphans) {
  if (orphans.empty()) return "";
  return Counted(static_cast<int64_t>(orphans.size()), "orphan page") +
         ", linked from no page read (first: " + EscapedLine(orphans.front()->page) + ")\n";
}

}  // namespace

std::string FindingSummaryText(const std::vector<SiteFinding>& findings) {
  using Groups = std::map<std::string, TargetGroup>;
  Groups groups;
  std::vector<const SiteFinding*> orphans;
  for (const SiteFinding& finding : findings) {
    if (finding.kind == SiteFinding::Kind::kOrphan) {
      orphans.push_back(&finding);
      continue;
    }
    TargetGroup& group = groups[finding.target];
    if (group.first == nullptr) group.first = &finding;
    ++group.links;
    group.pages.insert(finding.page);
  }
  std::vector<const Groups::value_type*> order;
  for (const auto& entry : groups) order.push_back(&entry);
  // Most linked first; the map's order (by target) breaks ties.
  std::stable_sort(order.begin(), order.end(),
                   [](const auto* a, const auto* b) { return a->second.links > b->second.links; });
  std::string text;
  for (const auto* entry : order) text += GroupLine(entry->first, entry->second);
  return text + OrphansLine(orphans);
}
