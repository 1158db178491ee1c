#include "links/SiteCheck.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"
#include "platform/FileSystem.h"

namespace {

// Pages as the site check counts them; the crawl reads the first two kinds only.
bool IsCheckedPage(const std::string& path) {
  const std::string extension = ToLowerAscii(PathExtension(path));
  return extension == "htm" || extension == "html" || extension == "xhtml" || extension == "shtml";
}

// A fragment a browser resolves without any element: the top of the page.
bool NeedsNoTarget(std::string_view name) { return name.empty() || EqualsNoCase(name, "top"); }

// A text fragment ("#:~:text=word", "#id:~:text=word") is no part of the name looked for.
std::string_view WithoutDirective(std::string_view fragment) {
  return fragment.substr(0, fragment.find(":~:"));
}

SiteFinding::Kind BrokenKind(LinkKind kind) {
  switch (kind) {
    case LinkKind::kHyperlink: return SiteFinding::Kind::kBrokenLink;
    case LinkKind::kImage: return SiteFinding::Kind::kBrokenImage;
    case LinkKind::kScript: return SiteFinding::Kind::kBrokenScript;
    case LinkKind::kStylesheet: return SiteFinding::Kind::kBrokenStylesheet;
    case LinkKind::kResource: return SiteFinding::Kind::kBrokenResource;
  }
  return SiteFinding::Kind::kBrokenLink;
}

// A browser looks for the fragment as written, then percent-decoded.
bool Holds(const std::unordered_set<std::string>& names, const std::string& fragment) {
  return names.contains(fragment) ||
         (fragment.find('%') != std::string::npos && names.contains(PercentDecode(fragment)));
}

std::optional<std::pair<uint64_t, uint64_t>> FileId(const std::string& path) {
  const std::optional<FileStatus> status = GetFileStatus(path);
  if (!status) return std::nullopt;
  return std::make_pair(status->device, status->inode);
}

}  // namespace

SiteCheck::SiteCheck(std::string startFolder, bool checkAnchors, ExternalLinkSink* external)
    : root_(std::move(startFolder)), checkAnchors_(checkAnchors), external_(external) {}

void SiteCheck::PageRead(const std::string& path, const std::string& text) {
  ++counts_.pagesRead;
  page_ = path;
  lines_.emplace(text);
  reached_.insert(path);
  if (!checkAnchors_) return;
  std::vector<std::string> names;
  ExtractFragmentTargets(text, names);
  names_[path] = std::unordered_set<std::string>(names.begin(), names.end());
}

void SiteCheck::LinkFound(const LinkInfo& link, const ResolvedLink& resolved) {
  const bool hyperlink = link.kind == LinkKind::kHyperlink;
  if (!IsLocal(resolved)) {
    if (hyperlink) ++counts_.externalLinks;
    if (external_)
      external_->ExternalLinkFound(resolved.target, Relative(page_), lines_->LineOf(link.offset));
    return;
  }
  if (hyperlink) ++counts_.linksFollowed;
  // A link above the start folder is looked for where a browser opening the page finds it.
  const std::string& path = resolved.beyondRoot.empty() ? resolved.target : resolved.beyondRoot;
  const Target& target = TargetOf(path);
  if (!target.exists) {
    SiteFinding& finding = findings_.emplace_back(Finding(BrokenKind(link.kind), link));
    finding.target = Relative(StripTrailingSlash(path));
  } else if (checkAnchors_ && hyperlink) {
    CheckFragment(link, target.page);
  }
}

const SiteCheck::Target& SiteCheck::TargetOf(const std::string& path) {
  const auto [found, added] = targets_.try_emplace(path);
  Target& target = found->second;
  if (added) {
    target.exists = PathExists(path);
    if (target.exists) reached_.insert(target.page = DefaultDocument(path));
  }
  return target;
}

void SiteCheck::CheckFragment(const LinkInfo& link, const std::string& page) {
  const size_t hash = link.href.find('#');
  if (hash == std::string::npos || !IsCheckedPage(page)) return;
  std::string name(WithoutDirective(std::string_view(link.href).substr(hash + 1)));
  if (NeedsNoTarget(name)) return;
  FragmentLink fragment{Finding(SiteFinding::Kind::kMissingAnchor, link), page, std::move(name)};
  fragment.finding.target = Relative(page) + "#" + fragment.name;
  // Pages read already answer now; the others once the crawl is over.
  if (!names_.contains(page)) fragmentLinks_.push_back(std::move(fragment));
  else if (!Holds(names_[page], fragment.name)) findings_.push_back(std::move(fragment.finding));
}

const std::unordered_set<std::string>& SiteCheck::NamesOf(const std::string& page) {
  const auto [found, added] = names_.try_emplace(page);
  if (added) {
    const std::string text = ReadTextFile(page);
    std::vector<std::string> names;
    ExtractFragmentTargets(text, names);
    found->second.insert(names.begin(), names.end());
  }
  return found->second;
}

SiteFinding SiteCheck::Finding(SiteFinding::Kind kind, const LinkInfo& link) {
  return SiteFinding{kind, Relative(page_), lines_->LineOf(link.offset), link.href, {}, 0, {}, {}};
}

std::string SiteCheck::Relative(const std::string& path) const {
  if (IsBelowRoot(path)) return path.substr(root_.size() + 1);
  return path == root_ ? "." : path;
}

bool SiteCheck::IsBelowRoot(const std::string& path) const {
  return path.size() > root_.size() && path.starts_with(root_) && path[root_.size()] == '/';
}

// A local target: one the crawl may read, or an address of the own site mapped below the root.
bool SiteCheck::IsLocal(const ResolvedLink& resolved) const {
  return resolved.follow || IsBelowRoot(resolved.target);
}

std::vector<SiteFinding> SiteCheck::Finish(const std::vector<std::string>& listedFiles) {
  for (FragmentLink& fragment : fragmentLinks_) {
    if (!Holds(NamesOf(fragment.page), fragment.name)) findings_.push_back(std::move(fragment.finding));
  }
  fragmentLinks_.clear();
  for (const std::string& path : listedFiles) {
    if (IsCheckedPage(path) && !reached_.contains(path) && IsOrphan(path))
      findings_.push_back({SiteFinding::Kind::kOrphan, Relative(path), 0, {}, {}, 0, {}, {}});
  }
  SortFindings(findings_);
  return std::move(findings_);
}

// A page listed under another path than the one the crawl reached it by, through a folder
// link, is no orphan. The pages reached are looked at only when a candidate turns up.
bool SiteCheck::IsOrphan(const std::string& path) {
  if (reachedIds_.empty()) {
    for (const std::string& page : reached_)
      if (const auto id = FileId(page)) reachedIds_.insert(*id);
  }
  const auto id = FileId(path);
  return !id || !reachedIds_.contains(*id);
}

const char* FindingKindName(SiteFinding::Kind kind) {
  switch (kind) {
    case SiteFinding::Kind::kBrokenLink: return "broken link";
    case SiteFinding::Kind::kMissingAnchor: return "missing anchor";
    case SiteFinding::Kind::kOrphan: return "orphan";
    case SiteFinding::Kind::kBrokenImage: return "broken image";
    case SiteFinding::Kind::kBrokenScript: return "broken script";
    case SiteFinding::Kind::kBrokenStylesheet: return "broken stylesheet";
    case SiteFinding::Kind::kBrokenResource: return "broken resource";
    case SiteFinding::Kind::kBrokenExternal: return "broken external link";
    case SiteFinding::Kind::kRedirected: return "redirected";
    case SiteFinding::Kind::kBadMailLink: return "bad mail link";
  }
  return "";
}

bool IsBrokenTarget(SiteFinding::Kind kind) {
  return kind != SiteFinding::Kind::kMissingAnchor && kind != SiteFinding::Kind::kOrphan &&
         !IsExternal(kind);
}

bool IsExternal(SiteFinding::Kind kind) {
  return kind == SiteFinding::Kind::kBrokenExternal || kind == SiteFinding::Kind::kRedirected ||
         kind == SiteFinding::Kind::kBadMailLink;
}

bool IsWarning(SiteFinding::Kind kind) {
  return kind == SiteFinding::Kind::kOrphan || kind == SiteFinding::Kind::kRedirected;
}

void SortFindings(std::vector<SiteFinding>& findings) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const SiteFinding& a, const SiteFinding& b) {
                     return std::tie(a.page, a.line) < std::tie(b.page, b.line);
                   });
}
