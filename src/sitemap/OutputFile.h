#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "common/TextSink.h"
#include "sitemap/MapSplitter.h"
#include "platform/Messages.h"

// The credit placed between the tree and the End template (in a page, before the End's
// "</body>"); never macro-expanded. It links to nothing.
std::string SignatureText();

// `outputPath` spelled as the walk from `root` (normalised) meets it, through whatever
// symlinks and ".." steps either path takes, so that the walk can pass it over;
// `outputPath` itself when it lies outside the tree or its folder does not exist.
std::string OutputPathAsWalked(const std::string& outputPath, const std::string& root);

// How a run's map is laid out in files.
struct MapLayout {
  // nSitemapPartEntries: an XML map of more entries, or more bytes than search engines read,
  // is written in parts with an index; 0 keeps it one file.
  int64_t partEntries = 0;
  // The map's web address; the index gives its parts' addresses made from it.
  std::string url;
};

// Whether a map at `path` is written in parts when large: an XML map with `partEntries` set.
bool MayBeSplit(const std::string& path, int64_t partEntries);
// How much one part of a map at `path` may hold.
PartLimits PartLimitsFor(const std::string& path, int64_t partEntries);

// Streams what `produce` puts into temporary files and puts them in place once all are
// whole: `path` alone, or, split by `layout`, its parts with `path` as their index; so the
// files hold either their old content or all of the new one, and old parts beyond the new
// ones go. A name ending in ".gz" is written gzip-compressed. Nothing is produced when no
// temporary file can be made. When `produce` returns false (the map is not whole: the run
// was stopped) the temporary files are removed, the old files left as they were and 0
// returned without a message. On failure shows "Couldn't create output file:" and the
// file's path, and returns 0. Otherwise returns the number of parts (1: not split).
int WriteOutputFile(const std::string& path, const MapLayout& layout,
                    const std::function<bool(MapSink&)>& produce, MessageSink& messages);

// The number of parts a map of `path` that `produce` puts would be split into, writing
// nothing.
int CountMapParts(const std::string& path, int64_t partEntries,
                  const std::function<void(MapSink&)>& produce);
