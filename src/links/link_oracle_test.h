#pragma once
// The plain linear link counter, kept as the reference the fast one must match: every
// update and lookup a pass over the table, every visit check a pass over the list, the
// crawl recursive.
#include <string>
#include <utility>
#include <vector>

#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkCountTable.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"
#include "platform/FileSystem.h"

// A table as (key, count) pairs, for comparing whole tables in one check.
using Pairs = std::vector<std::pair<std::string, int32_t>>;

// `entries`: a reference table or a table's Entries().
template <class Entries>
Pairs AsPairs(const Entries& entries) {
  Pairs pairs;
  for (const LinkCountEntry& entry : entries) pairs.emplace_back(entry.key, entry.count);
  return pairs;
}

namespace oracle {

inline void Add(std::vector<LinkCountEntry>& table, const std::string& key) {
  for (LinkCountEntry& entry : table) {
    if (ToSlashes(entry.key) == ToSlashes(key)) {
      ++entry.count;
      return;
    }
  }
  table.push_back({key, 1});
}

// Insertion sort: stable, highest count first.
inline void Sort(std::vector<LinkCountEntry>& table) {
  for (size_t i = 1; i < table.size(); ++i) {
    for (size_t j = i; j > 0 && table[j - 1].count < table[j].count; --j) std::swap(table[j - 1], table[j]);
  }
}

inline int32_t CountOf(std::string path, const std::vector<LinkCountEntry>& table,
                       const RunContext& context, bool sumBelow) {
  path = StripTrailingSlash(path);
  const std::string name = ToLowerAscii(PathName(path));
  if (name == "index.htm" || name == "index.html" || name == "index.php")
    path = StripTrailingSlash(PathParent(path));
  int32_t sum = 0;
  for (const LinkCountEntry& entry : table) {
    if (!LinkMatches(path, entry.key, context.root, context.domain, sumBelow)) continue;
    if (!sumBelow) return entry.count;
    sum += entry.count;
  }
  return sum;
}

inline void Crawl(std::string page, std::vector<LinkCountEntry>& table, std::vector<std::string>& visited,
                  const RunContext& context) {
  page = ToSlashes(page);
  if (IsFolder(page)) {
    if (PathExists(JoinPath(page, "index.htm"))) page = JoinPath(page, "index.htm");
    else if (PathExists(JoinPath(page, "index.html"))) page = JoinPath(page, "index.html");
  }
  for (const std::string& seen : visited) {
    if (seen == page) return;
  }
  visited.push_back(page);
  const std::string extension = ToLowerAscii(PathExtension(page));
  if (extension != "htm" && extension != "html") return;
  const std::optional<std::string> text = TryReadTextFile(page);
  if (!text) return;
  std::vector<LinkInfo> links;
  ExtractLinks(*text, links);
  std::vector<std::string> follow;
  for (const LinkInfo& link : links) {
    if (link.kind != LinkKind::kHyperlink) continue;
    const ResolvedLink resolved = ResolveLink(page, link.href, context);
    if (resolved.follow) follow.push_back(resolved.target);
    Add(table, LinkKey(resolved.target));
  }
  for (const std::string& target : follow) Crawl(target, table, visited, context);
}

}  // namespace oracle
