#pragma once
#include <ostream>
#include <string>

#include "app/Folioscribe.h"
#include "links/LinkCounter.h"
#include "platform/Messages.h"

// Where a run puts its map instead of the output file, when not there.
struct MapDestination {
  std::ostream* stream = nullptr;  // the map goes here (standard output)
  bool nowhere = false;            // a dry run: the walk only counts the entries
};

struct RunResult {
  bool written = false;     // the output file (or stream) holds the new site map
  std::string outputPath;   // where it was (or would have been) written
  bool walked = false;      // the start folder was there and its tree walked
  size_t entryCount = 0;    // folders and files in the map
};

// Crawls the site of `settings` (start folder normalised) as a run does: from its start page,
// only through what the map keeps when bCrawlOnlyKept is set; `observer` sees the crawl.
void CrawlSite(const RunSettings& settings, const RunContext& context, LinkCountTable& table,
               PageTitles& titles, CrawlObserver* observer = nullptr);

// One generation run on `app.settings` (not changed; the start folder is normalised in a
// copy): checks the start folder, deletes the old output, counts links when asked, writes
// the site map. A run to a stream or nowhere leaves the output file alone. Messages the
// user must see go to `messages`.
RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages,
                          const MapDestination& destination = {});
