#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "links/ExternalLinks.h"
#include "links/LineCounter.h"
#include "links/LinkCounter.h"

// One fault of a site: of its files, or of an address outside it.
struct SiteFinding {
  // A missing target of a hyperlink, or of a source the page loads; then the faults of
  // links that leave the site.
  enum class Kind {
    kBrokenLink,
    kMissingAnchor,
    kOrphan,
    kBrokenImage,
    kBrokenScript,
    kBrokenStylesheet,
    kBrokenResource,
    kBrokenExternal,
    kRedirected,
    kBadMailLink
  };
  Kind kind = Kind::kBrokenLink;
  std::string page;    // relative to the start folder: the linking page, or the orphan
  int64_t line = 0;    // of the link on its page; 0 for an orphan
  std::string href;    // as written; empty for an orphan
  std::string target;  // relative: the missing file or folder, or the page and "#name"
                       // a missing anchor was looked for; empty for an orphan; for an
                       // outside link the address as requested
  // Outside links only:
  int status = 0;        // of the last response; 0 when none came
  std::string reason;    // its reason phrase, or what failed ("host not found")
  std::string finalUrl;  // where its redirects led; the new address when redirected

  bool operator==(const SiteFinding&) const = default;
};

struct SiteCheckCounts {
  int64_t pagesRead = 0;
  int64_t linksFollowed = 0;  // local hyperlinks, each occurrence
  int64_t externalLinks = 0;  // hyperlinks seen, not checked
};

// A finding of a link that leaves the site.
bool IsExternal(SiteFinding::Kind kind);
// Warnings fail a check only when it is strict.
bool IsWarning(SiteFinding::Kind kind);
// Puts findings in the order they are reported: by page, then line.
void SortFindings(std::vector<SiteFinding>& findings);

// Watches a crawl for broken local links and missing local sources (images, scripts,
// stylesheets, the rest a page loads) and, when asked, for "#fragment" links to names
// the target page lacks; then tells which listed pages the crawl never reached.
class SiteCheck : public CrawlObserver {
 public:
  // `startFolder` as the crawl's paths begin (forward slashes, no trailing "/"). Links that
  // leave the site go to `external` when given.
  SiteCheck(std::string startFolder, bool checkAnchors, ExternalLinkSink* external = nullptr);

  void PageRead(const std::string& path, const std::string& text) override;
  void LinkFound(const LinkInfo& link, const ResolvedLink& resolved) override;

  // Ends the check: looks up the fragments waiting for pages the crawl did not read and
  // adds the pages of `listedFiles` (paths as the folder walk lists them) that no read page
  // links to and that are not the same file as one reached. Sorted by page, then line.
  std::vector<SiteFinding> Finish(const std::vector<std::string>& listedFiles);
  const SiteCheckCounts& Counts() const { return counts_; }

 private:
  struct Target {
    bool exists = false;
    std::string page;  // what a browser shows for it: a folder's index page
  };
  struct FragmentLink {
    SiteFinding finding;
    std::string page;  // the page that must hold the name
    std::string name;
  };

  const Target& TargetOf(const std::string& path);
  void CheckFragment(const LinkInfo& link, const std::string& page);
  const std::unordered_set<std::string>& NamesOf(const std::string& page);
  SiteFinding Finding(SiteFinding::Kind kind, const LinkInfo& link);
  std::string Relative(const std::string& path) const;
  bool IsBelowRoot(const std::string& path) const;
  bool IsLocal(const ResolvedLink& resolved) const;
  bool IsOrphan(const std::string& path);

  std::string root_;
  bool checkAnchors_;
  ExternalLinkSink* external_;
  SiteCheckCounts counts_;
  std::string page_;                  // the page whose links come now
  std::optional<LineCounter> lines_;  // over that page's text
  std::unordered_map<std::string, Target> targets_;
  std::unordered_map<std::string, std::unordered_set<std::string>> names_;  // by page
  std::unordered_set<std::string> reached_;  // pages read or linked
  std::set<std::pair<uint64_t, uint64_t>> reachedIds_;  // device and inode, once needed
  std::vector<FragmentLink> fragmentLinks_;
  std::vector<SiteFinding> findings_;
};

// "broken link", "missing anchor", "orphan", "broken image", "broken script",
// "broken stylesheet", "broken resource", "broken external link", "redirected" or
// "bad mail link".
const char* FindingKindName(SiteFinding::Kind kind);
// Whether a finding of `kind` names a target that does not exist.
bool IsBrokenTarget(SiteFinding::Kind kind);
