#include "app/GenerationRun.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <thread>

#include "app/ExternalOptions.h"
#include "app/SiteCheckRun.h"
#include "common/Escape.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkCounter.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "platform/TypedPath.h"
#include "profile/Profile.h"
#include "sitemap/MapParts.h"
#include "sitemap/OutputFile.h"
#include "sitemap/Selection.h"
#include "sitemap/SitemapLimits.h"

namespace {

// Why the map must not go to `outputPath`; empty when it may.
std::string OutputRefusal(const std::string& outputPath, const std::string& profilePath) {
  const std::string name = PathName(outputPath);
  if (name.empty()) return "it names a folder, not a file";
  const std::string extension = kProfileExtension;
  if (name.size() >= extension.size() &&
      EqualsNoCase(name.substr(name.size() - extension.size()), extension))
    return "it is a profile";
  if (name.empty() || !PathExists(outputPath)) return "";
  // A folder, device, pipe or socket would be replaced by a site map, or written into.
  if (IsFolder(outputPath)) return "it is a folder";
  if (!IsRegularFile(outputPath)) return "it is not a regular file";
  if (!profilePath.empty() && RealPath(profilePath) == RealPath(outputPath)) return "it is a profile";
  return "";
}

// A map search engines will not read whole is still written, and the user is told.
void ReportSitemapLimits(const RunResult& result, size_t bytes, MessageSink& messages) {
  const std::string warning = SitemapLimitWarning(
      result.outputPath, static_cast<int64_t>(result.entryCount), static_cast<int64_t>(bytes));
  if (warning.empty()) return;
  std::string line = warning;
  std::ranges::replace(line, '\n', ' ');
  TraceProblem("DoGenerationRun()-" + line);
  messages.ShowMessage(warning);
}

// The check of the outside links for a run of the dialog; none when the profile's patterns
// do not compile or libcurl is missing, which `messages` is told.
std::unique_ptr<ExternalCheck> NewExternalCheck(const RunSettings& settings,
                                                MessageSink& messages) {
  const std::string problem = ExcludeUrlProblem(settings.aExcludeUrls);
  if (!problem.empty()) {
    messages.ShowMessage("External links not checked: ExcludeUrls: " + problem);
    return nullptr;
  }
  if (!CanCheckExternal(messages)) return nullptr;
  const ExternalRequest defaults;  // the dialog has no options of its own for the check
  return std::make_unique<ExternalCheck>(ExternalSettingsForRun(defaults, settings.aExcludeUrls, settings.sDomain));
}

}  // namespace

bool CountsLinks(const RunSettings& settings) {
  return settings.bUsePageRank || settings.bExcludeNotLinked;
}

void CrawlSite(const RunSettings& settings, const RunContext& context, LinkCountTable& table,
               PageTitles& titles, std::vector<std::string>& warnings, CrawlObserver* observer,
               RunControl* control) {
  Selection selection(settings, settings.sStartDirectoryPath);
  CrawlOptions options;
  options.observer = observer;
  options.control = control;
  options.titles = MapShowsPageTitles(settings);
  if (settings.bCrawlOnlyKept)
    options.keeps = [&selection](const std::string& path) {
      return selection.KeepsWithFolders(path, IsFolder(path));
    };
  options.jobs = settings.jobs > 0 ? settings.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  table.Clear(settings.sStartDirectoryPath);
  CountSiteLinks(settings.sStartDirectoryPath, context, table, titles, warnings, options);
}

std::string FolderMissingMessage(const std::string& folder) {
  return EscapedLine(folder) + "\r\ndoesn't exist, or is not a folder";
}

RunSettings SettingsForRun(const RunSettings& settings) {
  RunSettings forRun = settings;
  forRun.sStartDirectoryPath = StartFolderForRun(settings.sStartDirectoryPath);
  forRun.sOutPutFileName = OutputPathForRun(forRun.sStartDirectoryPath, settings.sOutPutFileName);
  return forRun;
}

RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages,
                          const MapDestination& destination, RunControl* control) {
  RunSettings settings = app.settings;
  app.linkCounts.Clear();
  app.findings.clear();
  // Typed by a person: made absolute once, before any disk access, so that every path the
  // map links from and to is of one kind.
  settings = SettingsForRun(settings);
  app.runContext = RunContext{settings.sStartDirectoryPath, settings.sDomain, settings.nMaxPageBytes};
  RunResult result;
  result.outputPath = settings.sOutPutFileName;

  if (!IsFolder(settings.sStartDirectoryPath)) {
    messages.ShowMessage(FolderMissingMessage(app.settings.sStartDirectoryPath));
    return result;
  }
  const bool toFile = !destination.stream && !destination.nowhere;
  if (toFile && app.settings.sOutPutFileName.empty()) {
    messages.ShowMessage("Couldn't create output file: no output file name is given; "
                         "set one in the profile or with -o");
    return result;
  }
  const std::string refusal = toFile ? OutputRefusal(result.outputPath, app.profilePath) : "";
  if (!refusal.empty()) {
    messages.ShowMessage("Couldn't create output file:" + EscapedLine(result.outputPath) + " (" +
                         refusal + ")");
    return result;
  }
  const std::string domainWarning = SitemapDomainWarning(settings, result.outputPath);
  if (!domainWarning.empty()) result.warnings.push_back(domainWarning);
  // The old output stays until the new one is whole; the walk passes it over.
  if (!destination.stream)
    app.runContext.outputPath = OutputPathAsWalked(result.outputPath, settings.sStartDirectoryPath);

  RunControl ownControl;
  if (control == nullptr) control = &ownControl;
  size_t bytes = 0;
  // True when the map is whole: a cancelled run's text never replaces the old output.
  auto produce = [&](MapSink& out) {
    PageTitles titles(settings.nMaxPageBytes);
    std::unique_ptr<ExternalCheck> external;
    if (CountsLinks(settings)) {
      if (app.checkOnRuns && settings.bCheckExternal)
        external = NewExternalCheck(settings, messages);
      std::optional<SiteCheck> check;
      if (app.checkOnRuns) check.emplace(settings.sStartDirectoryPath, false, external.get());
      CrawlSite(settings, app.runContext, app.linkCounts, titles, result.warnings,
                check ? &*check : nullptr, control);
      if (check)
        app.findings = check->Finish(
            ListSiteFiles(settings, settings.sStartDirectoryPath, app.runContext.outputPath));
    }
    SiteMapBuilder builder(settings, app.linkCounts, app.runContext, titles, result.warnings,
                           control);
    const auto mapStart = std::chrono::steady_clock::now();
    builder.Build(settings.sStartDirectoryPath, out);
    AddSecondsSince(mapStart, control->times.mapSeconds);
    // The map is built while the requests go on; a cancelled run drops those under way.
    if (external && !Cancelled(control)) AddExternalFindings(*external, app.findings);
    result.walked = true;
    result.entryCount = builder.EntryCount();
    bytes = builder.BytesWritten();
    result.progress = control->progress;
    result.times = control->times;
    result.cancelled = Cancelled(control);
    return !result.cancelled;
  };
  const MapLayout layout{settings.nSitemapPartEntries, MapAddress(app.settings)};
  if (toFile) {
    result.partCount = WriteOutputFile(result.outputPath, layout, produce, messages);
    result.written = result.partCount > 0;
  } else if (destination.stream) {
    StreamSink out(*destination.stream);
    PlainMapSink map(out);
    if (produce(map)) result.written = destination.stream->flush().good();
  } else {
    result.partCount = CountMapParts(result.outputPath, layout.partEntries, produce);
  }
  if (result.partCount > 1 && layout.url.empty())
    result.warnings.push_back("the map lies outside the start folder, so its index cannot give "
                              "the addresses of its parts: " + result.outputPath);
  // Split maps keep the limits by themselves.
  if (result.written && result.partCount <= 1) ReportSitemapLimits(result, bytes, messages);
  // The dialog may sit idle for long after a run; its log should be complete meanwhile.
  TraceLog::Instance().Flush();
  return result;
}

std::string MapAddress(const RunSettings& settings) {
  const std::string start = NormalisedPath(settings.sStartDirectoryPath);
  const std::string output = GetOutputFilePath(settings.sStartDirectoryPath, settings.sOutPutFileName);
  return SiteUrlOf(OutputPathAsWalked(output, start), start, settings.sDomain);
}

MapPreview PreviewSiteMap(const RunSettings& runSettings, int64_t maxItems,
                          RunControl* control) {
  MapPreview preview;
  const RunSettings settings = SettingsForRun(runSettings);
  if (!IsFolder(settings.sStartDirectoryPath)) {
    preview.message = FolderMissingMessage(runSettings.sStartDirectoryPath);
    return preview;
  }
  const RunContext context{settings.sStartDirectoryPath, settings.sDomain, settings.nMaxPageBytes};
  LinkCountTable table;
  PageTitles titles(settings.nMaxPageBytes);
  std::vector<std::string> warnings;  // a preview shows the map, not what it missed
  if (CountsLinks(settings)) CrawlSite(settings, context, table, titles, warnings, nullptr, control);
  SiteMapBuilder builder(settings, table, context, titles, warnings, control);
  builder.LimitTo(maxItems, &preview.pieces);
  StringSink text;
  builder.Build(settings.sStartDirectoryPath, text);
  preview.text = std::move(text.text);
  preview.itemsLeftOut = builder.ItemsLeftOut();
  return preview;
}
