#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/RunControl.h"
#include "links/LinkCountTable.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"

// Told of every page a crawl reads and of every link found on it, in crawl order: a page
// first, then its links. The page text lives until the next page is told.
class CrawlObserver {
 public:
  virtual ~CrawlObserver() = default;
  virtual void PageRead(const std::string& path, const std::string& text) = 0;
  virtual void LinkFound(const LinkInfo& link, const ResolvedLink& resolved) = 0;
};

// A folder stands for its index.htm, else its index.html, else itself; other paths stay.
std::string DefaultDocument(const std::string& path);

// The page the crawl starts from: index.htm, index.html or index.php of the start folder
// (first that exists), else its first .htm/.html file in listing order, else
// "<start folder>/index.php". `startFolder` is normalised (forward slashes, no trailing "/").
// The path `outputPath` is passed over.
std::string ChooseStartPage(const std::string& startFolder, const std::string& outputPath = "");

// Whether the site map lists the local path it is given; the crawl then neither reads nor
// counts what it leaves out.
using KeepsPath = std::function<bool(const std::string& path)>;

// How a crawl runs and what it delivers besides the counts.
struct CrawlOptions {
  KeepsPath keeps;                    // when set, only what it keeps is read and counted
  CrawlObserver* observer = nullptr;  // told of every page read and link found
  RunControl* control = nullptr;      // cancelled, it stops the crawl before the next page
  bool titles = true;                 // whether the titles of the pages read are remembered
  // Threads at work. Without an observer, every page the crawl may read is parsed on the
  // others while the calling one walks them, reading itself what none has taken up yet.
  // With one, from two threads one reads the pages in crawl order while the calling thread
  // counts them, and from three the others read pages ahead. The result is the same for
  // every number.
  int jobs = 1;
};

// Crawls depth-first from `pagePath` (a page, or a folder standing for its index.htm or
// index.html), reading every local .htm/.html page it reaches once, but the context's output
// file, and counting every link found on the pages read. Targets are taken up in the order
// of their anchors. The titles of the pages read go to `titles` when the options ask; a page
// that exists but cannot be read adds a line to `warnings`. Each page read counts as one of
// the control's pages.
void BuildPageRankInfo(const std::string& pagePath, LinkCountTable& table, const RunContext& context,
                       PageTitles& titles, std::vector<std::string>& warnings,
                       const CrawlOptions& options = {});

// Counts the links of the site: chooses the start page, logs "Starting with:", crawls
// every reachable local page once and sorts the table, most linked first.
void CountSiteLinks(const std::string& startFolder, const RunContext& context,
                    LinkCountTable& table, PageTitles& titles, std::vector<std::string>& warnings,
                    const CrawlOptions& options = {});
