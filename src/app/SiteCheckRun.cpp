#include "app/SiteCheckRun.h"

#include <cstdio>

#include "app/GenerationRun.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "sitemap/SiteMapBuilder.h"

SiteCheckOutcome CheckSite(const RunSettings& settings, bool checkAnchors, MessageSink& messages,
                           RunControl* control) {
  SiteCheckOutcome outcome;
  const RunSettings normalised = SettingsForRun(settings);
  const std::string& folder = normalised.sStartDirectoryPath;
  if (!IsFolder(folder)) {
    messages.ShowMessage(FolderMissingMessage(settings.sStartDirectoryPath));
    return outcome;
  }
  const RunContext context{folder, settings.sDomain};
  LinkCountTable table;
  PageTitles titles;
  SiteCheck check(folder, checkAnchors);
  std::vector<std::string> unread;  // the check reports links, not pages it could not read
  CrawlSite(normalised, context, table, titles, unread, &check, control);
  outcome.findings = check.Finish(ListSiteFiles(normalised, folder));
  outcome.counts = check.Counts();
  outcome.started = true;
  return outcome;
}

std::string SiteCheckSummary(const SiteCheckOutcome& outcome, double seconds) {
  // Missing images, scripts and the rest count with the broken links.
  int64_t broken = 0, anchors = 0, orphans = 0;
  for (const SiteFinding& finding : outcome.findings) {
    if (IsBrokenTarget(finding.kind)) ++broken;
    else if (finding.kind == SiteFinding::Kind::kMissingAnchor) ++anchors;
    else ++orphans;
  }
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  const SiteCheckCounts& counts = outcome.counts;
  return Counted(counts.pagesRead, "page") + " read, " + Counted(counts.linksFollowed, "link") +
         " followed, " + Counted(counts.externalLinks, "external link") + " seen (not checked): " +
         Counted(broken, "broken link") + ", " + Counted(anchors, "missing anchor") + ", " +
         Counted(orphans, "orphan") + " in " + time;
}
