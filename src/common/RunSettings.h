#pragma once
#include <string>
#include <vector>

// The extension of profile files, with its dot.
inline constexpr const char* kProfileExtension = ".folioscribe_options";
// Pages larger than this are neither read for their titles nor crawled.
inline constexpr long long kDefaultMaxPageBytes = 64 * 1024 * 1024;

// Everything the user chooses for one generation run. The field names are the profile keys.
struct RunSettings {
  std::string sStartDirectoryPath;
  std::string sOutPutFileName;
  std::string sTemplateStart;
  std::string sTemplateFolder;
  std::string sTemplateFile;
  std::string sTemplateEnd;
  std::string sTemplateFolderLevelDown;
  std::string sTemplateFolderLevelUp;
  bool bIndexAsDirText = false;
  bool bUsePageRank = false;
  bool bExcludeNotLinked = false;
  std::string sDomain;
  bool bAddSignature = true;
  std::vector<std::string> aExclude;
  // Selection of what the map lists, by gitignore-style patterns; all off by default.
  std::vector<std::string> aPatterns;  // key "Patterns"
  std::vector<std::string> aInclude;   // key "Include"
  bool bUseIgnoreFiles = false;
  bool bSkipHidden = false;
  bool bSkipEmptyFolders = false;
  bool bCrawlOnlyKept = false;
  bool bCleanFolderUrls = false;  // "%fUrl%" of a folder and its index page ends in "/"
  bool bSkipNoindex = false;      // pages whose robots meta says noindex are left out
  long long nMaxPageBytes = kDefaultMaxPageBytes;
  // An XML map of more entries is written as parts with a sitemap index; 0: one file.
  long long nSitemapPartEntries = 0;
  // The site check: regular expressions of outside addresses left unchecked, and whether
  // outside links are checked at all.
  std::vector<std::string> aExcludeUrls;  // key "ExcludeUrls"
  bool bCheckExternal = false;
  // Threads that read pages for the link counter (0: one per core). Chosen on the command
  // line, never stored in a profile.
  int jobs = 0;

  bool operator==(const RunSettings&) const = default;
};
