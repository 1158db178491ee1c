#include "app/MacroExamples.h"

#include <limits>
#include <string_view>

#include "app/GenerationRun.h"
#include "common/Paths.h"
#include "common/TextSink.h"
#include "links/PageTitle.h"
#include "platform/FileSystem.h"
#include "sitemap/Macros.h"
#include "sitemap/SiteMapBuilder.h"

namespace {

// Ends each macro's value in the expanded text; no name or title holds it.
constexpr char kValueEnd = '\x1F';

std::string EveryMacro() {
  std::string text;
  for (const MacroDefinition& macro : MacroTable()) text += MacroText(macro) + kValueEnd;
  return text;
}

// The values of an expanded EveryMacro(); empty unless there is one per macro.
std::vector<std::string> ValuesOf(std::string_view expanded) {
  std::vector<std::string> values;
  for (size_t pos = 0, end; (end = expanded.find(kValueEnd, pos)) != std::string_view::npos;
       pos = end + 1)
    values.emplace_back(expanded.substr(pos, end - pos));
  if (values.size() != MacroTable().size()) values.clear();
  return values;
}

// Sorts each stretch of `text` into the list of the template it came from; the first wins.
MacroExamples ExamplesIn(const std::string& text, const std::vector<MapPiece>& pieces) {
  MacroExamples examples;
  size_t begin = 0;
  for (const MapPiece& piece : pieces) {
    const std::string_view stretch(text.data() + begin, piece.end - begin);
    std::vector<std::string>* list = piece.part == MapPart::Start    ? &examples.start
                                     : piece.part == MapPart::Folder ? &examples.folder
                                     : piece.part == MapPart::File   ? &examples.file
                                                                     : nullptr;
    if (list != nullptr && list->empty()) *list = ValuesOf(stretch);
    begin = piece.end;
  }
  return examples;
}

}  // namespace

MacroExamples ExpandMacroExamples(const RunSettings& runSettings, const LinkCountTable& linkCounts) {
  RunSettings settings = SettingsForRun(runSettings);
  if (!IsFolder(settings.sStartDirectoryPath)) return {};
  settings.sTemplateStart = settings.sTemplateFolder = settings.sTemplateFile = EveryMacro();
  settings.sTemplateEnd = settings.sTemplateFolderLevelDown = settings.sTemplateFolderLevelUp = "";
  settings.bAddSignature = false;
  // Without the counts of a crawl no item would be linked.
  if (linkCounts.Empty()) settings.bUsePageRank = settings.bExcludeNotLinked = false;
  const RunContext context{settings.sStartDirectoryPath, settings.sDomain, settings.nMaxPageBytes};
  const PageTitles titles(settings.nMaxPageBytes);
  // The start folder's entry and the first one in it are all the walk needs to reach.
  RunControl control;
  control.onProgress = [&control](const RunProgress& progress) {
    if (progress.items >= 2) control.cancel = true;
  };
  std::vector<MapPiece> pieces;
  std::vector<std::string> files, warnings;  // the menu shows values, not what was missed
  SiteMapBuilder builder(settings, linkCounts, context, titles, warnings, &control);
  builder.LimitTo(std::numeric_limits<int64_t>::max(), &pieces);
  builder.RecordFiles(files);
  StringSink text;
  builder.Build(settings.sStartDirectoryPath, text);
  MacroExamples examples = ExamplesIn(text.text, pieces);
  if (!files.empty()) examples.firstFile = files.front();
  return examples;
}
