#include "app/SiteCheckRun.h"

#include <cstdio>

#include "app/GenerationRun.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "sitemap/SiteMapBuilder.h"

namespace {

std::string ExternalCounts(const ExternalCheckCounts& counts) {
  return Counted(counts.requested, "URL") + " requested, " + GroupedNumber(counts.fromCache) +
         " from the cache, " + GroupedNumber(counts.excluded) + " excluded, " +
         Counted(counts.mailLinks, "mail link") + ", " + GroupedNumber(counts.skipped) +
         " of other schemes skipped";
}

// Crawls the site for `check`. The counts and titles a crawl keeps serve a map, not a check:
// they are gone before the check lists the site's files.
void CrawlForCheck(const RunSettings& settings, SiteCheck& check, RunControl* control) {
  const RunContext context{settings.sStartDirectoryPath, settings.sDomain};
  LinkCountTable table;
  PageTitles titles;
  std::vector<std::string> unread;  // the check reports links, not pages it could not read
  CrawlSite(settings, context, table, titles, unread, &check, control);
}

}  // namespace

SiteCheckOutcome CheckSite(const RunSettings& settings, bool checkAnchors,
                           const ExternalCheckSettings* external, MessageSink& messages,
                           RunControl* control) {
  SiteCheckOutcome outcome;
  const RunSettings normalised = SettingsForRun(settings);
  const std::string& folder = normalised.sStartDirectoryPath;
  if (!IsFolder(folder)) {
    messages.ShowMessage(FolderMissingMessage(settings.sStartDirectoryPath));
    return outcome;
  }
  std::optional<ExternalCheck> externalCheck;
  if (external && CanCheckExternal(messages)) externalCheck.emplace(*external);
  SiteCheck check(folder, checkAnchors, externalCheck ? &*externalCheck : nullptr);
  CrawlForCheck(normalised, check, control);
  outcome.findings = check.Finish(ListSiteFiles(normalised, folder));
  outcome.counts = check.Counts();
  if (externalCheck) {
    AddExternalFindings(*externalCheck, outcome.findings);
    outcome.external = externalCheck->Counts();
  }
  outcome.started = true;
  return outcome;
}

bool CanCheckExternal(MessageSink& messages) {
  const std::string problem = HttpCheckProblem();
  if (problem.empty()) return true;
  TraceProblem("External links not checked: " + problem);
  messages.ShowMessage("External links not checked: " + problem);
  return false;
}

void AddExternalFindings(ExternalCheck& external, std::vector<SiteFinding>& findings) {
  std::vector<SiteFinding> outside = external.Finish();
  findings.insert(findings.end(), std::make_move_iterator(outside.begin()), std::make_move_iterator(outside.end()));
  SortFindings(findings);
}

std::string SiteCheckSummary(const SiteCheckOutcome& outcome, double seconds) {
  // Missing images, scripts and the rest count with the broken links.
  int64_t broken = 0, anchors = 0, orphans = 0, external = 0, redirected = 0, mail = 0;
  for (const SiteFinding& finding : outcome.findings) {
    switch (finding.kind) {
      case SiteFinding::Kind::kMissingAnchor: ++anchors; break;
      case SiteFinding::Kind::kOrphan: ++orphans; break;
      case SiteFinding::Kind::kBrokenExternal: ++external; break;
      case SiteFinding::Kind::kRedirected: ++redirected; break;
      case SiteFinding::Kind::kBadMailLink: ++mail; break;
      default: ++broken;
    }
  }
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  const SiteCheckCounts& counts = outcome.counts;
  std::string summary = Counted(counts.pagesRead, "page") + " read, " +
                        Counted(counts.linksFollowed, "link") + " followed, " +
                        Counted(counts.externalLinks, "external link");
  summary += outcome.external ? " checked (" + ExternalCounts(*outcome.external) + "): "
                              : " seen (not checked): ";
  summary += Counted(broken, "broken link") + ", " + Counted(anchors, "missing anchor") + ", " +
             Counted(orphans, "orphan");
  if (outcome.external)
    summary += ", " + Counted(external, "broken external link") + ", " + GroupedNumber(redirected) +
               " redirected, " + Counted(mail, "bad mail link");
  return summary + " in " + time;
}
