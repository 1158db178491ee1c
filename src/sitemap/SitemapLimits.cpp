#include "sitemap/SitemapLimits.h"

#include "sitemap/MapParts.h"

std::string SitemapLimitWarning(const std::string& outputPath, int64_t items, int64_t bytes) {
  if (!IsXmlMapPath(outputPath)) return "";
  std::string warning;
  if (items > kMaxSitemapItems)
    warning += "The site map holds " + std::to_string(items) +
               " entries; search engines read at most 50,000 from one sitemap file.\n";
  if (bytes > kMaxSitemapBytes)
    warning += "The site map is " + std::to_string(bytes) +
               " bytes long; search engines read at most 52,428,800 bytes (50 MiB) of one "
               "sitemap file.\n";
  if (!warning.empty()) warning += "It was written all the same: " + outputPath;
  return warning;
}
