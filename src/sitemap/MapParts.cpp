#include "sitemap/MapParts.h"

#include <algorithm>

#include "common/Paths.h"
#include "common/Text.h"
#include "sitemap/MacroFilters.h"

namespace {

constexpr std::string_view kGzip = ".gz";

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

// Where the name of `path` ends and its extensions (".xml.gz", ".xml") begin.
size_t ExtensionStart(const std::string& path) {
  const size_t nameStart = path.rfind('/') + 1;  // npos + 1 is 0
  std::string_view stem(path);
  if (EndsWithNoCase(stem, kGzip)) stem.remove_suffix(kGzip.size());
  const size_t dot = stem.rfind('.');
  return dot == std::string_view::npos || dot < nameStart ? stem.size() : dot;
}

}  // namespace

bool IsXmlMapPath(const std::string& outputPath) {
  return EndsWithNoCase(outputPath, ".xml") || EndsWithNoCase(outputPath, ".xml.gz");
}

bool IsGzipPath(const std::string& outputPath) { return EndsWithNoCase(outputPath, kGzip); }

std::string MapPartPath(const std::string& outputPath, int number) {
  const size_t at = ExtensionStart(outputPath);
  return outputPath.substr(0, at) + "-" + std::to_string(number) + outputPath.substr(at);
}

bool IsMapPartPath(const std::string& path, const std::string& outputPath) {
  const size_t at = ExtensionStart(outputPath);
  const std::string_view extension = std::string_view(outputPath).substr(at);
  const std::string_view stem = std::string_view(outputPath).substr(0, at);
  if (path.size() < at + extension.size() + 2 || !path.starts_with(stem) ||
      !path.ends_with(extension) || path[at] != '-')
    return false;
  const std::string_view number =
      std::string_view(path).substr(at + 1, path.size() - at - 1 - extension.size());
  return number[0] != '0' &&
         std::ranges::all_of(number, [](char c) { return c >= '0' && c <= '9'; });
}

std::string SiteUrlOf(const std::string& path, const std::string& startFolder,
                      const std::string& domain) {
  const std::string relative = GetRelativePath(startFolder + "/", path);
  if (relative.empty()) return "";
  std::string site = domain;
  while (!site.empty() && site.back() == '/') site.pop_back();
  return site + "/" + UrlEscape(relative);
}

std::string SitemapIndexText(const std::vector<MapPartEntry>& parts) {
  const MacroFilter xml = FindMacroFilter("xml");
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
  for (const MapPartEntry& part : parts) {
    text += "<sitemap>\n  <loc>" + xml(part.url) + "</loc>\n";
    if (part.newest != 0) text += "  <lastmod>" + FormatLocalTime(part.newest, "%Y-%m-%d") + "</lastmod>\n";
    text += "</sitemap>\n";
  }
  return text + "</sitemapindex>\n";
}
