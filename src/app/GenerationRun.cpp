#include "app/GenerationRun.h"

#include "common/Paths.h"
#include "links/LinkCounter.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "sitemap/OutputFile.h"
#include "sitemap/SiteMapBuilder.h"

RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages) {
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
  DeleteFile(result.outputPath);
  settings.sStartDirectoryPath = NormalisedPath(settings.sStartDirectoryPath);

  PageTitles titles;
  if (settings.bUsePageRank || settings.bExcludeNotLinked)
    CountSiteLinks(settings.sStartDirectoryPath, app.runContext, app.linkCounts, titles);

  SiteMapBuilder builder(settings, app.linkCounts, app.runContext, titles);
  const std::string& text = builder.Build(settings.sStartDirectoryPath);
  result.written = WriteOutputFile(result.outputPath, text, messages);
  // The dialog may sit idle for long after a run; its log should be complete meanwhile.
  TraceLog::Instance().Flush();
  return result;
}
