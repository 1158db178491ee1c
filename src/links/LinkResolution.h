#pragma once
#include <string>

#include "links/LinkCountTable.h"

// The part of a link before its first ":" (a lone character is returned as is, "\\" for a
// network path); empty when there is no ":".
std::string LinkScheme(const std::string& text);
// True when `text` names something outside the site as written: it has a scheme of two or
// more characters (http:, mailto:, javascript: ...) or begins with "//".
bool IsOutsideAddress(const std::string& text);

// The local path of an http or https address of the own site `domain` (with or without
// "www." when the domain has it), joined to `root` with forward slashes; empty otherwise.
std::string UrlToLocalPath(const std::string& domain, const std::string& root, const std::string& url);

struct ResolvedLink {
  std::string found;   // the href as taken for resolution
  std::string target;  // a local path, or an outside address as written
  bool follow = false; // a local target to be read in turn
};
// Resolves `href` found on the page `pagePath` (forward slashes). A local target loses its
// "#fragment" and "?query" and is percent-decoded; "" and "#x" name the page itself; "/x"
// starts at the site root.
ResolvedLink ResolveLink(const std::string& pagePath, const std::string& href, const RunContext& context);

// True when the last component is index.htm, index.html or index.php (any case).
bool IsDefaultDocument(const std::string& path);
// The text a target is counted under: a default document (index.htm, index.html,
// index.php) counts for its folder, and the trailing separator goes; outside addresses stay.
std::string LinkKey(const std::string& target);

// Whether the item `path` matches the stored `key`: with `prefix` the key begins with the
// path (case-sensitive), without they are equal apart from separators and case. A key of
// the own web site is first mapped below `root`.
bool LinkMatches(const std::string& path, const std::string& key, const std::string& root,
                 const std::string& domain, bool prefix);
// The key as LinkMatches compares it with a local path.
std::string LocalFormOfKey(const std::string& key, const std::string& root, const std::string& domain);
// True for "http://" and "https://" at the front (case-sensitive).
bool IsWebKey(const std::string& text);
