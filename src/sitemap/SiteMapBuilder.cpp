#include "sitemap/SiteMapBuilder.h"

#include <algorithm>

#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"
#include "links/RobotsMeta.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "sitemap/Macros.h"
#include "sitemap/Ordering.h"
#include "sitemap/OutputFile.h"
#include "sitemap/SiteItem.h"

namespace {

// The folder's index page, index.html winning over index.htm; empty when it has none.
std::string IndexPageOf(const std::string& folder) {
  for (const char* name : {"/index.html", "/index.htm"})
    if (PathExists(folder + name)) return folder + name;
  return "";
}

}  // namespace

SiteMapBuilder::SiteMapBuilder(const RunSettings& settings, const LinkCountTable& linkCounts,
                               const RunContext& context, const PageTitles& titles)
    : settings_(settings), linkCounts_(linkCounts), context_(context), titles_(titles),
      outputFolder_(OutputFolder(settings)),
      selection_(settings, NormalisedPath(settings.sStartDirectoryPath)) {}

const std::string& SiteMapBuilder::Build(const std::string& startFolder) {
  sSiteMapHtmlCode = ExpandMacros(settings_.sTemplateStart, startFolder, 0, "", settings_);
  openFolders_.clear();
  entryCount_ = 0;
  EmitFolder(ItemAt(startFolder), 0);
  if (settings_.bAddSignature) sSiteMapHtmlCode += SignatureText();
  sSiteMapHtmlCode += ExpandMacros(settings_.sTemplateEnd, startFolder, 0, "", settings_);
  return sSiteMapHtmlCode;
}

void SiteMapBuilder::EmitFolder(const SiteItem& listed, int depth) {
  const size_t textBefore = sSiteMapHtmlCode.size();
  const size_t entriesBefore = entryCount_;
  const size_t keptBefore = keptFiles_;
  if (!AddUrlToSiteMapHtmlCode(listed, depth)) return;
  const std::string folder = NormalisedPath(listed.path);
  const auto status = GetFileStatus(folder);
  const FolderId id = status ? FolderId(status->device, status->inode) : FolderId();
  if (status && std::find(openFolders_.begin(), openFolders_.end(), id) != openFolders_.end()) {
    // A folder link back into its own tree: descending would never end.
    Trace("EmitFolder()-" + folder + "-not entered, the same folder is already open above it");
  } else {
    openFolders_.push_back(id);
    selection_.Enter(folder);
    EmitEntries(folder, depth);
    selection_.Leave();
    openFolders_.pop_back();
  }
  AppendLevelUp();
  if (settings_.bSkipEmptyFolders && depth > 0 && keptFiles_ == keptBefore) {
    sSiteMapHtmlCode.resize(textBefore);
    entryCount_ = entriesBefore;
  }
}

void SiteMapBuilder::EmitEntries(const std::string& folder, int depth) {
  SiteItemList items;
  ScanFolder(folder, items);
  if (settings_.bUsePageRank)
    SortSiteItems(items, linkCounts_, context_);
  else
    SortSiteItems(items);
  for (const SiteItem& item : items)
    if (!item.IsFolder()) AddUrlToSiteMapHtmlCode(item, depth + 1);
  for (const SiteItem& item : items)
    if (item.IsFolder()) EmitFolder(item, depth + 1);
}

void SiteMapBuilder::AppendLevelUp() { sSiteMapHtmlCode += settings_.sTemplateFolderLevelUp; }

bool SiteMapBuilder::AddUrlToSiteMapHtmlCode(const SiteItem& listed, int depth) {
  if (listed.path.empty()) return false;
  std::string path = NormalisedPath(listed.path);
  // A name holding "\" names another path once normalised; the listing says nothing of it.
  SiteItem item = path == listed.path ? listed : ItemAt(path);
  const bool isFolder = item.IsFolder();
  if (!selection_.Keeps(path, isFolder)) return false;
  if (!isFolder) ++keptFiles_;
  if (settings_.bExcludeNotLinked && LinkCountOf(path, linkCounts_, context_, isFolder) == 0)
    return false;
  if (!isFolder && IsNoindexPage(path)) return false;
  const std::string templateText =
      isFolder ? settings_.sTemplateFolder + settings_.sTemplateFolderLevelDown
               : settings_.sTemplateFile;
  LinkText linkText;
  if (UsesMacro(templateText, "autoHrefText") && !ChooseLinkText(path, isFolder, linkText))
    return false;
  // The index page standing for its folder shows its own times and size.
  if (path != item.path) item = ItemAt(path);
  // "%fLinkCount%" shows the links to the item itself, not the sum below it that orders.
  if (FindNoCase(templateText, "%fLinkCount") >= 0)  // filters may follow the name
    item.linkCount = LinkCountOf(path, linkCounts_, context_, false);
  Trace("AddUrlToSiteMapHtmlCode()-" + path + "-finaly, rel abs added=" +
        RelativeLink(outputFolder_, path));
  sSiteMapHtmlCode += ExpandMacros(templateText, item, depth, linkText, settings_);
  ++entryCount_;
  if (files_ != nullptr && !isFolder) files_->push_back(path);
  return true;
}

bool SiteMapBuilder::ChooseLinkText(std::string& path, bool isFolder,
                                    LinkText& linkText) const {
  if (!isFolder) {
    // The index page stands for its folder already.
    if (settings_.bIndexAsDirText && IsIndexPage(path)) return false;
    if (IsPageExtension(path)) linkText = {titles_.Of(path), true};
  } else if (settings_.bIndexAsDirText) {
    const std::string index = IndexPageOf(path);
    // A folder whose index page is left out keeps its plain entry.
    if (!index.empty() && !IsNoindexPage(index)) {
      linkText = {titles_.Of(index), true};
      if (linkText.text.empty()) linkText = {PathTitle(path)};
      path = index;
      Trace("AddUrlToSiteMapHtmlCode()-" + path + "-a directory, sHrefAbsolute=" + path);
    }
  }
  if (linkText.text.empty()) linkText = {PathName(path)};
  return true;
}

bool SiteMapBuilder::IsNoindexPage(const std::string& path) const {
  return settings_.bSkipNoindex && IsPageExtension(path) && IsPageMarkedNoindex(path);
}

std::vector<std::string> ListSiteFiles(const RunSettings& settings, const std::string& startFolder) {
  RunSettings listing = settings;
  for (std::string* text : {&listing.sTemplateStart, &listing.sTemplateFolder, &listing.sTemplateFile,
                            &listing.sTemplateEnd, &listing.sTemplateFolderLevelDown,
                            &listing.sTemplateFolderLevelUp})
    text->clear();
  listing.bUsePageRank = listing.bExcludeNotLinked = listing.bAddSignature = false;
  const LinkCountTable noCounts;
  const RunContext context{startFolder, settings.sDomain};
  const PageTitles noTitles;
  std::vector<std::string> files;
  SiteMapBuilder builder(listing, noCounts, context, noTitles);
  builder.RecordFiles(files);
  builder.Build(startFolder);
  return files;
}
