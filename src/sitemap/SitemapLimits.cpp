#include "sitemap/SitemapLimits.h"

#include <algorithm>

#include "common/Escape.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "sitemap/Macros.h"
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
  if (!warning.empty()) warning += "It was written all the same: " + EscapedLine(outputPath);
  return warning;
}

std::string LongAddressWarning(const std::string& text, const std::string& path) {
  size_t longest = 0;
  for (size_t at = text.find("<loc>"); at != std::string::npos; at = text.find("<loc>", at)) {
    at += 5;
    const size_t end = text.find("</loc>", at);
    if (end == std::string::npos) break;
    longest = std::max(longest, end - at);
  }
  if (longest <= kMaxSitemapAddress) return "";
  return "the address of " + path + " is " + std::to_string(longest) +
         " characters long; search engines take at most 2,048 in a sitemap";
}

namespace {

bool UsesDomain(const RunSettings& settings) {
  for (const std::string* text : {&settings.sTemplateStart, &settings.sTemplateFolder,
                                  &settings.sTemplateFolderLevelDown, &settings.sTemplateFolderLevelUp,
                                  &settings.sTemplateFile, &settings.sTemplateEnd})
    if (UsesMacro(*text, "fUrl") || UsesMacro(*text, "domain")) return true;
  return false;
}

// The host of an absolute "http(s)://host/..." address; empty for anything else.
std::string WebHost(const std::string& domain) {
  size_t start = 0;
  for (const char* scheme : {"http://", "https://"})
    if (StartsWithNoCase(domain, scheme)) start = std::string(scheme).size();
  if (start == 0) return "";
  const std::string host = domain.substr(start, domain.find_first_of("/?#", start) - start);
  const bool blank = host.find_first_of(" \t\r\n") != std::string::npos;
  return blank ? "" : host;
}

// The domains kept for examples, and every host below them.
bool IsPlaceholderHost(const std::string& host) {
  const std::string lower = ToLowerAscii(host);
  for (const std::string example : {"example.org", "example.com", "example.net"})
    if (lower == example || lower.ends_with("." + example)) return true;
  return false;
}

}  // namespace

std::string SitemapDomainWarning(const RunSettings& settings, const std::string& outputPath) {
  if (!EqualsNoCase(PathExtension(outputPath), "xml") || !UsesDomain(settings)) return "";
  const std::string host = WebHost(settings.sDomain);
  const std::string& domain = settings.sDomain;
  if (host.empty())
    return "the domain \"" + domain + "\" is no absolute http(s)://host/ address, so the " +
           "sitemap's addresses are not either: set it with --domain or in the profile";
  if (IsPlaceholderHost(host))
    return "the domain " + domain + " is a placeholder: set the site's own with --domain or " +
           "in the profile";
  return "";
}
