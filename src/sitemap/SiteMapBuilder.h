#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/RunSettings.h"
#include "links/LinkCountTable.h"
#include "links/PageTitle.h"
#include "sitemap/Macros.h"
#include "sitemap/SiteItem.h"
#include "sitemap/Selection.h"

// Assembles the site-map text of one run: a depth-first walk from the start folder that
// expands the templates of `settings` for every folder and file it emits.
class SiteMapBuilder {
 public:
  // All four must outlive the builder; `linkCounts` is sorted when the link counter ran,
  // `titles` holds the pages it read.
  SiteMapBuilder(const RunSettings& settings, const LinkCountTable& linkCounts,
                 const RunContext& context, const PageTitles& titles);

  // Start template, the tree of `startFolder` (existing, forward slashes, no trailing "/"),
  // the signature when asked for, End template. Returns the whole text.
  const std::string& Build(const std::string& startFolder);
  // The folders and files the last Build emitted.
  size_t EntryCount() const { return entryCount_; }

  // From now on, appends the path of every file emitted to `files` (which must outlive the
  // builder).
  void RecordFiles(std::vector<std::string>& files) { files_ = &files; }

  // Emits the folder `folder`, its files, its sub-folders, then the Level up text; with
  // bSkipEmptyFolders nothing when no file in it or below it is kept.
  void EmitFolder(const SiteItem& folder, int depth);
  // Emits one folder or file, as listed; false when it is left out.
  bool AddUrlToSiteMapHtmlCode(const SiteItem& listed, int depth);

 private:
  using FolderId = std::pair<uint64_t, uint64_t>;  // device, inode

  // The link text of "%AutoHrefText%"; false when the item is left out. May move `path`
  // to the folder's index page.
  bool ChooseLinkText(std::string& path, bool isFolder, LinkText& linkText) const;
  bool IsNoindexPage(const std::string& path) const;
  void EmitEntries(const std::string& path, int depth);
  void AppendLevelUp();

  const RunSettings& settings_;
  const LinkCountTable& linkCounts_;
  const RunContext& context_;
  const PageTitles& titles_;
  std::string outputFolder_;
  Selection selection_;
  size_t keptFiles_ = 0;  // files the selection kept so far, whether emitted or not
  std::vector<FolderId> openFolders_;  // the folders the walk is inside, outermost first
  std::string sSiteMapHtmlCode;
  size_t entryCount_ = 0;
  std::vector<std::string>* files_ = nullptr;
};

// The files a site map of `startFolder` (as Build takes it) lists with the selection of
// `settings` (exclusions and the like), whatever its templates and link-count options.
std::vector<std::string> ListSiteFiles(const RunSettings& settings, const std::string& startFolder);
