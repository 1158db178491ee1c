#pragma once
#include <string>
#include <vector>

#include "links/LinkCountTable.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"

// What a crawl keeps of a page besides its links, each only when someone asks for it.
struct PageNeeds {
  bool title = false;  // for the link texts of the site map
  bool text = false;   // for an observer of the crawl
};

// A link target read and parsed, ready to be counted.
struct ParsedPage {
  std::string path;  // what was read: the target, or the index page a folder stands for
  PageRead read = PageRead::kUnreadable;  // also when the path is no page
  std::string text;   // when asked for
  std::string title;  // when asked for
  std::vector<LinkInfo> links;         // the href and place of each anchor, in page order
  std::vector<ResolvedLink> resolved;  // where each leads
};

// Reads the link target `target` (a page, or a folder standing for its index.htm or
// index.html) and parses it. It shares nothing but the disk and writes no log, so several
// threads may parse pages side by side.
ParsedPage ParsePage(const std::string& target, const RunContext& context, PageNeeds needs);
