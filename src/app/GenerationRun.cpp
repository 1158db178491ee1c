#include "app/GenerationRun.h"

#include <algorithm>
#include <optional>

#include "common/Paths.h"
#include "links/LinkCounter.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "sitemap/OutputFile.h"
#include "sitemap/Selection.h"
#include "sitemap/SitemapLimits.h"

namespace {

bool WriteMap(const std::string& text, const MapDestination& destination,
              const std::string& outputPath, MessageSink& messages) {
  if (destination.nowhere) return false;
  if (!destination.stream) return WriteOutputFile(outputPath, text, messages);
  *destination.stream << text << std::flush;
  return destination.stream->good();
}

// A map search engines will not read whole is still written, and the user is told.
void ReportSitemapLimits(const RunResult& result, size_t bytes, MessageSink& messages) {
  const std::string warning = SitemapLimitWarning(
      result.outputPath, static_cast<int64_t>(result.entryCount), static_cast<int64_t>(bytes));
  if (warning.empty()) return;
  std::string line = warning;
  std::ranges::replace(line, '\n', ' ');
  Trace("DoGenerationRun()-" + line);
  messages.ShowMessage(warning);
}

std::string FolderMissingMessage(const std::string& folder) {
  return folder + "\r\ndoesn't exist, or is not a folder";
}

bool CountsLinks(const RunSettings& settings) {
  return settings.bUsePageRank || settings.bExcludeNotLinked;
}

}  // namespace

void CrawlSite(const RunSettings& settings, const RunContext& context, LinkCountTable& table,
               PageTitles& titles, CrawlObserver* observer, RunControl* control) {
  Selection selection(settings, settings.sStartDirectoryPath);
  KeepsPath keeps;
  if (settings.bCrawlOnlyKept)
    keeps = [&selection](const std::string& path) {
      return selection.KeepsWithFolders(path, IsFolder(path));
    };
  CountSiteLinks(settings.sStartDirectoryPath, context, table, titles, keeps, observer, control);
}

RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages,
                          const MapDestination& destination, RunControl* control) {
  RunSettings settings = app.settings;
  app.linkCounts.Clear();
  app.findings.clear();
  app.runContext = RunContext{settings.sStartDirectoryPath, settings.sDomain, settings.nMaxPageBytes};
  RunResult result;
  result.outputPath = GetOutputFilePath(settings.sStartDirectoryPath, settings.sOutPutFileName);
  // Typed by a person: read in the Windows forms too, once, before any disk access.
  settings.sStartDirectoryPath = NormalisedPath(settings.sStartDirectoryPath);

  // Checked before the old output goes, so a mistyped start folder deletes nothing.
  if (!IsFolder(settings.sStartDirectoryPath)) {
    messages.ShowMessage(FolderMissingMessage(app.settings.sStartDirectoryPath));
    return result;
  }
  // Gone before the walk, so the old map is never listed in the new one.
  if (!destination.stream && !destination.nowhere) DeleteFile(result.outputPath);

  RunControl ownControl;
  if (control == nullptr) control = &ownControl;
  PageTitles titles(settings.nMaxPageBytes);
  if (CountsLinks(settings)) {
    std::optional<SiteCheck> check;
    if (app.checkOnRuns) check.emplace(settings.sStartDirectoryPath, false);
    CrawlSite(settings, app.runContext, app.linkCounts, titles, check ? &*check : nullptr,
              control);
    if (check) app.findings = check->Finish(ListSiteFiles(settings, settings.sStartDirectoryPath));
  }
  SiteMapBuilder builder(settings, app.linkCounts, app.runContext, titles, control);
  const std::string& text = builder.Build(settings.sStartDirectoryPath);
  result.walked = true;
  result.entryCount = builder.EntryCount();
  result.progress = control->progress;
  result.cancelled = Cancelled(control);
  if (!result.cancelled) result.written = WriteMap(text, destination, result.outputPath, messages);
  if (result.written) ReportSitemapLimits(result, text.size(), messages);
  // The dialog may sit idle for long after a run; its log should be complete meanwhile.
  TraceLog::Instance().Flush();
  return result;
}

MapPreview PreviewSiteMap(const RunSettings& runSettings, int64_t maxItems,
                          RunControl* control) {
  MapPreview preview;
  if (!IsFolder(runSettings.sStartDirectoryPath)) {
    preview.message = FolderMissingMessage(runSettings.sStartDirectoryPath);
    return preview;
  }
  RunSettings settings = runSettings;
  settings.sStartDirectoryPath = NormalisedPath(settings.sStartDirectoryPath);
  const RunContext context{runSettings.sStartDirectoryPath, settings.sDomain, settings.nMaxPageBytes};
  LinkCountTable table;
  PageTitles titles(settings.nMaxPageBytes);
  if (CountsLinks(settings)) CrawlSite(settings, context, table, titles, nullptr, control);
  SiteMapBuilder builder(settings, table, context, titles, control);
  builder.LimitTo(maxItems, &preview.pieces);
  preview.text = builder.Build(settings.sStartDirectoryPath);
  preview.itemsLeftOut = builder.ItemsLeftOut();
  return preview;
}
