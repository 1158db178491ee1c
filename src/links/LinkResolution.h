#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "links/LinkCountTable.h"
#include "links/OwnSite.h"

// The part of a link before its first ":" (a lone character is returned as is, "\\" for a
// network path); empty when there is no ":".
std::string LinkScheme(const std::string& text);
// True when `text` names something outside the site as written: it has a scheme of two or
// more characters (http:, mailto:, javascript: ...) or begins with "//".
bool IsOutsideAddress(std::string_view text);

// The local path of an http or https address of the own site `domain` (with or without
// "www." when the domain has it), joined to `root` with forward slashes; empty otherwise.
std::string UrlToLocalPath(const std::string& domain, const std::string& root, const std::string& url);

// `text` with each "%" and two hexadecimal digits replaced by the byte they name.
std::string PercentDecode(std::string_view text);

struct ResolvedLink {
  std::string found;   // the href as taken for resolution
  std::string target;  // a local path, or an outside address as written
  bool follow = false; // a local target to be read in turn
  // A relative href that climbs above the site root, which `target` stops at: where it leads
  // on the disk, as a browser opens it from a page read from there; empty for the others.
  std::string beyondRoot;
};

// Resolves the hrefs found on one page, whose folder and site root it works out once.
// `context` must outlive it.
class LinkResolver {
 public:
  // `pagePath` with forward slashes.
  LinkResolver(const std::string& pagePath, const RunContext& context);
  // Reads `href` as a browser does against a web server serving the site root: blanks
  // and controls around it and line breaks inside go, "\\" is "/", ".", ".." (also as
  // "%2e") and empty segments are resolved and ".." never climbs above the site root. A
  // local target loses its "#fragment" and "?query" and is percent-decoded; "" and "#x"
  // name the page itself; "/x" starts at the site root.
  ResolvedLink Resolve(std::string_view href) const;
  // Reads the later hrefs against `href`, that of the page's base element, as Resolve
  // reads it; the page itself is then the base's target. A base off the site sends the
  // relative hrefs off the site.
  void SetBase(std::string_view href);
  // The same into `link`, whose buffers serve link after link without new allocations.
  void Resolve(std::string_view href, ResolvedLink& link) const;

 private:
  // A reference of the site, without scheme or host, into `link`.
  void ResolveLocal(std::string_view reference, ResolvedLink& link) const;
  bool ResolvePlain(std::string_view href, ResolvedLink& link) const;
  bool CanJoinPlainly() const;

  const RunContext& context_;
  std::string page_;
  std::string folder_;  // the page's folder, no trailing "/"
  std::string root_;    // the site root, forward slashes, no trailing "/"
  size_t floor_;        // what ".." cannot remove from the folder: the site root
  std::string outsideBase_;  // the folder of a base off the site, or empty
  bool plainJoin_;  // plain paths are joined to the folder as written
};

// One href resolved on its own; see LinkResolver::Resolve.
ResolvedLink ResolveLink(const std::string& pagePath, const std::string& href, const RunContext& context);

// The names that stand for their folder, in the order a folder's page is looked for.
inline constexpr std::array<const char*, 3> kDefaultDocuments = {"index.htm", "index.html", "index.php"};
// True when the last component is one of kDefaultDocuments (any case).
bool IsDefaultDocument(const std::string& path);
// True for the pages that are read: extension htm or html (any case).
bool IsPageExtension(const std::string& path);
// The text a target is counted under: a default document (index.htm, index.html,
// index.php) counts for its folder, and the trailing separator goes; outside addresses stay.
std::string LinkKey(const std::string& target);

// Whether the item `path` matches the stored `key`: with `prefix` the key begins with the
// path, without SamePath holds for them; letter case counts in both. A key of
// the own web site is first mapped below `root`.
bool LinkMatches(const std::string& path, const std::string& key, const std::string& root,
                 const std::string& domain, bool prefix);
// Whether two paths are equal but for one leading and one trailing separator and the kind of
// separator. Letter case counts: on Linux only the exact spelling reaches a file.
bool SamePath(std::string_view a, std::string_view b);
// The key as LinkMatches compares it with a local path.
std::string LocalFormOfKey(const std::string& key, const std::string& root, const std::string& domain);
// True for "http://" and "https://" at the front (case-sensitive).
bool IsWebKey(const std::string& text);
