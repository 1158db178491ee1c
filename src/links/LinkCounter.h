#pragma once
#include <string>

#include "links/LinkCountTable.h"

// The page the crawl starts from: index.htm, index.html or index.php of the start folder
// (first that exists), else its first .htm/.html file in listing order, else
// "<start folder>/index.php". `startFolder` is normalised (forward slashes, no trailing "/").
std::string ChooseStartPage(const std::string& startFolder);

// Counts the links of the site: chooses the start page, logs "Starting with:", crawls
// every reachable local page once and sorts the table, most linked first.
void CountSiteLinks(const std::string& startFolder, const RunContext& context,
                    LinkCountTable& table);
