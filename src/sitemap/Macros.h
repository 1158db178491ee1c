#pragma once
#include <string>

#include "common/RunSettings.h"
#include "sitemap/SiteItem.h"

// Expands the `%`-delimited macros of `templateText` for the folder or file at `itemPath`
// (either separator) at indentation `depth`, with `linkText` as "%AutoHrefText%". Macro
// names match in any letter case; unknown text stays as written. Uses the domain and the
// output file of `settings`. Never fails: an unreadable item has size "0" and time 0.
std::string ExpandMacros(const std::string& templateText, const std::string& itemPath, int depth,
                         const std::string& linkText, const RunSettings& settings);
// The same for an item listed already (its path with forward slashes), read no more.
std::string ExpandMacros(const std::string& templateText, const SiteItem& item, int depth,
                         const std::string& linkText, const RunSettings& settings);

// The folder of the output file, forward slashes, with its trailing "/": relative paths in
// the site map start from here.
std::string OutputFolder(const RunSettings& settings);
