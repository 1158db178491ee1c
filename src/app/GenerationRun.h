#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "app/Folioscribe.h"
#include "common/RunControl.h"
#include "links/LinkCounter.h"
#include "platform/Messages.h"
#include "sitemap/SiteMapBuilder.h"

// Where a run puts its map instead of the output file, when not there.
struct MapDestination {
  std::ostream* stream = nullptr;  // the map goes here (standard output)
  bool nowhere = false;            // a dry run: the walk only counts the entries
};

struct RunResult {
  bool written = false;     // the output file (or stream) holds the new site map
  bool cancelled = false;   // stopped through its control before the output was written
  std::string outputPath;   // where it was (or would have been) written
  bool walked = false;      // the start folder was there and its tree walked
  size_t entryCount = 0;    // folders and files in the map
  int partCount = 0;        // files the map was (or would be) split into; 1: not split
  RunProgress progress;     // what the run got through
  RunTimes times;
  // What the run could not read while it went on (folders not listed, pages not read):
  // the map it wrote is partial. One line each, without a line end.
  std::vector<std::string> warnings;
};

// Whether a run on `settings` counts links (for the order or to leave out unlinked files).
bool CountsLinks(const RunSettings& settings);

// Empties `table` and crawls the site of `settings` (start folder normalised) into it as a
// run does: from its start page, only through what the map keeps when bCrawlOnlyKept is
// set; a page that exists but cannot be read adds a line to `warnings`; `observer` sees the
// crawl and a cancelled `control` stops it.
void CrawlSite(const RunSettings& settings, const RunContext& context, LinkCountTable& table,
               PageTitles& titles, std::vector<std::string>& warnings,
               CrawlObserver* observer = nullptr, RunControl* control = nullptr);

// Why a run cannot start from the typed `folder`: two lines in a message box, one on the
// command line.
std::string FolderMissingMessage(const std::string& folder);

// `settings` with the start folder and the output name as a run reads what a person typed
// (platform/TypedPath.h): both absolute.
RunSettings SettingsForRun(const RunSettings& settings);

// One generation run on `app.settings` (not changed; the start folder is normalised in a
// copy): checks the start folder and the output path, counts links when asked, streams the
// site map into a temporary file and puts it in place of the old output only when whole;
// a cancelled run removes the temporary file and leaves the old output as it was. A run to
// a stream or nowhere leaves the output file alone. Messages the user must see go to
// `messages`. `control`, when given, may stop the run from another thread and hears of its
// progress.
RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages,
                          const MapDestination& destination = {},
                          RunControl* control = nullptr);

// The web address of the map (or its index) a run on `settings` writes: the domain and the
// output's path from the start folder; empty when the output lies outside the start folder.
std::string MapAddress(const RunSettings& settings);

// The beginning of the site map a run on `settings` would write, never written anywhere.
struct MapPreview {
  std::string text;              // Start, the first items, the signature, End
  std::vector<MapPiece> pieces;  // which template each stretch of `text` came from
  int64_t itemsLeftOut = 0;      // items a run would write besides those shown
  std::string message;           // why there is no map; `text` is then empty
};

// Expands the first `maxItems` items with the engine of a run (link counting included).
MapPreview PreviewSiteMap(const RunSettings& settings, int64_t maxItems,
                          RunControl* control = nullptr);
