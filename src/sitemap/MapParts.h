#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The files of a map written in parts: NAME-1.xml, NAME-2.xml ... beside NAME.xml, which
// becomes their sitemap index.

// Whether a map at `outputPath` is an XML sitemap that may be split: its name ends in
// ".xml" or ".xml.gz", in any letter case.
bool IsXmlMapPath(const std::string& outputPath);
// Whether a map at `outputPath` is written gzip-compressed: its name ends in ".gz".
bool IsGzipPath(const std::string& outputPath);

// Part `number` (from 1) of the map at `outputPath`, a path or a web address:
// "sitemap-2.xml.gz" of "sitemap.xml.gz".
std::string MapPartPath(const std::string& outputPath, int number);
// Whether `path` names a part of the map at `outputPath`, whatever its number.
bool IsMapPartPath(const std::string& path, const std::string& outputPath);

// The web address of `path` on the site at `domain` whose files lie in `startFolder`
// (forward slashes, no trailing "/"); empty when `path` lies outside `startFolder`.
std::string SiteUrlOf(const std::string& path, const std::string& startFolder,
                      const std::string& domain);

// What the index says of one part.
struct MapPartEntry {
  std::string url;
  int64_t newest = 0;  // the time of its newest entry; 0 when none has one
};
// The sitemap index listing `parts`.
std::string SitemapIndexText(const std::vector<MapPartEntry>& parts);
