#include "app/GenerationRun.h"

#include "common/Paths.h"
#include "links/LinkCounter.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "sitemap/OutputFile.h"
#include "sitemap/Selection.h"
#include "sitemap/SiteMapBuilder.h"

namespace {

bool WriteMap(const std::string& text, const MapDestination& destination,
              const std::string& outputPath, MessageSink& messages) {
  if (destination.nowhere) return false;
  if (!destination.stream) return WriteOutputFile(outputPath, text, messages);
  *destination.stream << text << std::flush;
  return destination.stream->good();
}

}  // namespace

RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages,
                          const MapDestination& destination) {
  RunSettings settings = app.settings;
  app.linkCounts.Clear();
  app.runContext = RunContext{settings.sStartDirectoryPath, settings.sDomain};
  RunResult result;
  result.outputPath = GetOutputFilePath(settings.sStartDirectoryPath, settings.sOutPutFileName);

  // Checked before the old output goes, so a mistyped start folder deletes nothing.
  if (!IsFolder(settings.sStartDirectoryPath)) {
    messages.ShowMessage(settings.sStartDirectoryPath + "\r\ndoesn't exist, or is not a folder");
    return result;
  }
  // Gone before the walk, so the old map is never listed in the new one.
  if (!destination.stream && !destination.nowhere) DeleteFile(result.outputPath);
  settings.sStartDirectoryPath = NormalisedPath(settings.sStartDirectoryPath);

  PageTitles titles;
  if (settings.bUsePageRank || settings.bExcludeNotLinked) {
    Selection selection(settings, settings.sStartDirectoryPath);
    KeepsPath keeps;
    if (settings.bCrawlOnlyKept)
      keeps = [&selection](const std::string& path) {
        return selection.KeepsWithFolders(path, IsFolder(path));
      };
    CountSiteLinks(settings.sStartDirectoryPath, app.runContext, app.linkCounts, titles, keeps);
  }

  SiteMapBuilder builder(settings, app.linkCounts, app.runContext, titles);
  const std::string& text = builder.Build(settings.sStartDirectoryPath);
  result.walked = true;
  result.entryCount = builder.EntryCount();
  result.written = WriteMap(text, destination, result.outputPath, messages);
  // The dialog may sit idle for long after a run; its log should be complete meanwhile.
  TraceLog::Instance().Flush();
  return result;
}
