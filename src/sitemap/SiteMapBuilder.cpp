#include "sitemap/SiteMapBuilder.h"

#include <algorithm>

#include "common/Paths.h"
#include "common/Text.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"
#include "links/RobotsMeta.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementFile.h"
#include "sitemap/Macros.h"
#include "sitemap/MapParts.h"
#include "sitemap/Ordering.h"
#include "sitemap/OutputFile.h"
#include "sitemap/SiteItem.h"
#include "sitemap/SitemapLimits.h"

namespace {

// The folder's index page, index.html winning over index.htm; empty when it has none.
// The output file stands for nothing.
std::string IndexPageOf(const std::string& folder, const std::string& outputPath) {
  for (const char* name : {"/index.html", "/index.htm"})
    if (folder + name != outputPath && PathExists(folder + name)) return folder + name;
  return "";
}

}  // namespace

SiteMapBuilder::EntryTemplate::EntryTemplate(std::string text)
    : text(std::move(text)), showsTitle(UsesMacro(this->text.Text(), "autoHrefText")),
      // filters may follow the name
      showsLinkCount(FindNoCase(this->text.Text(), "%fLinkCount") >= 0),
      showsStatus(UsesItemStatus(this->text.Text())) {}

SiteMapBuilder::SiteMapBuilder(const RunSettings& settings, const LinkCountTable& linkCounts,
                               const RunContext& context, const PageTitles& titles,
                               std::vector<std::string>& warnings, RunControl* control)
    : settings_(settings), folderTemplate_(settings.sTemplateFolder + settings.sTemplateFolderLevelDown),
      fileTemplate_(settings.sTemplateFile), linkCounts_(linkCounts), context_(context), titles_(titles),
      outputFolder_(OutputFolder(settings)),
      selection_(settings, StripTrailingSlashKeepRoot(settings.sStartDirectoryPath)), warnings_(warnings),
      control_(control), xmlMap_(EqualsNoCase(PathExtension(settings.sOutPutFileName), "xml")) {}

void SiteMapBuilder::LimitTo(int64_t maxItems, std::vector<MapPiece>* pieces) {
  maxItems_ = maxItems;
  pieces_ = pieces;
}

void SiteMapBuilder::Build(const std::string& startFolder, TextSink& out) {
  PlainMapSink plain(out);
  Build(startFolder, plain);
}

void SiteMapBuilder::Build(const std::string& startFolder, MapSink& out) {
  out_ = &out;
  const bool statusShown = folderTemplate_.showsStatus || fileTemplate_.showsStatus || out.UsesTimes();
  detail_ = statusShown ? EntryDetail::kStatus : EntryDetail::kKind;
  held_.clear();
  bytes_ = 0;
  if (pieces_) pieces_->clear();
  itemsShown_ = itemsLeftOut_ = silentItems_ = 0;
  const std::string end = ExpandMacros(settings_.sTemplateEnd, startFolder, 0, "", settings_);
  out.WillEndWith(end);
  Append(MapPart::Start, ExpandMacros(settings_.sTemplateStart, startFolder, 0, "", settings_));
  enteredFolders_.clear();
  EmitFolder(ItemAt(startFolder), 0);
  // In a page, the signature goes inside the body but behind the lists the tree closes.
  const int64_t body = settings_.bAddSignature ? FindNoCase(end, "</body") : -1;
  if (body > 0) Append(MapPart::End, end.substr(0, static_cast<size_t>(body)));
  if (settings_.bAddSignature) Append(MapPart::Signature, SignatureText());
  Append(MapPart::End, end.substr(static_cast<size_t>(std::max<int64_t>(body, 0))));
  Release();
  out_ = nullptr;
}

void SiteMapBuilder::Release() {
  for (const HeldPiece& piece : held_) out_->Put(piece.part, piece.text, piece.time);
  held_.clear();
}

void SiteMapBuilder::Append(MapPart part, std::string_view text, int64_t time) {
  bytes_ += text.size();
  if (pieces_) pieces_->push_back({part, bytes_});
  // With empty folders left out, held until a kept file proves the folders around it stay.
  if (settings_.bSkipEmptyFolders)
    held_.push_back({part, std::string(text), time});
  else
    out_->Put(part, text, time);
}

SiteMapBuilder::Mark SiteMapBuilder::Here() const {
  return {bytes_, pieces_ ? pieces_->size() : 0, held_.size(), itemsShown_, itemsLeftOut_,
          silentItems_, keptFiles_};
}

// Only ever back to a mark set since the last kept file: all after it is still held.
void SiteMapBuilder::Rewind(const Mark& mark) {
  held_.resize(mark.held);
  bytes_ = mark.text;
  if (pieces_) pieces_->resize(mark.pieces);
  itemsShown_ = mark.itemsShown;
  itemsLeftOut_ = mark.itemsLeftOut;
  silentItems_ = mark.silentItems;
}

void SiteMapBuilder::EmitFolder(const SiteItem& listed, int depth) {
  const Mark before = Here();
  const bool shown = !Full();  // its entry is shown when there is room for it
  if (!AddUrlToSiteMapHtmlCode(listed, depth)) return;
  const std::string& folder = listed.path;
  const auto status = GetFileStatus(folder);
  // Folder links may lead back into their own tree, or reach one folder by many paths
  // (twice per level doubles them): each folder's contents are mapped once.
  if (status && !enteredFolders_.insert(FolderId{status->device, status->inode}).second) {
    TraceProblem("EmitFolder()-" + folder + "-not entered, the same folder is mapped already");
  } else {
    selection_.Enter(folder);
    EmitEntries(folder, depth);
    selection_.Leave();
  }
  if (shown) Append(MapPart::LevelUp, settings_.sTemplateFolderLevelUp);
  if (settings_.bSkipEmptyFolders && depth > 0 && keptFiles_ == before.keptFiles) Rewind(before);
}

void SiteMapBuilder::EmitEntries(const std::string& folder, int depth) {
  if (Cancelled(control_)) return;
  SiteItemList items;
  if (ScanFolder(folder, items, detail_) < 0)
    warnings_.push_back("couldn't list folder " + folder + ": " + ReadProblem(folder));
  Advance(control_, &RunProgress::folders);
  if (settings_.bUsePageRank)
    SortSiteItems(items, linkCounts_, context_);
  else
    SortSiteItems(items);
  // The files come first, then the sub-folders.
  EmitFiles(items, depth + 1);
  // Only the sub-folders stay while they are walked, so the listings of the folders above
  // a large folder hold no files.
  std::erase_if(items, [](const SiteItem& item) { return !item.IsFolder(); });
  items.shrink_to_fit();
  for (const SiteItem& item : items)
    if (!Cancelled(control_)) EmitFolder(item, depth + 1);
}

bool SiteMapBuilder::AddUrlToSiteMapHtmlCode(const SiteItem& listed, int depth) {
  if (listed.path.empty()) return false;
  SiteItem item = listed;
  std::string& path = item.path;  // moved to the index page that stands for a folder
  const bool isFolder = item.IsFolder();
  if (IsOwnFile(path) || !selection_.Keeps(path, isFolder) || SharesIndexAddress(path)) return false;
  if (!isFolder) {
    ++keptFiles_;
    // Every folder open now keeps a file: their text stands.
    Release();
  }
  if (settings_.bExcludeNotLinked && LinkCountOf(path, linkCounts_, context_, isFolder) == 0)
    return false;
  if (!isFolder && IsNoindexPage(path)) return false;
  const EntryTemplate& entry = isFolder ? folderTemplate_ : fileTemplate_;
  // The index page stands for its folder already.
  if (entry.showsTitle && !isFolder && settings_.bIndexAsDirText && IsIndexPage(path)) return false;
  Advance(control_, &RunProgress::items);
  if (entry.text.Text().empty()) ++silentItems_;
  if (Full()) {
    ++itemsLeftOut_;
    return true;
  }
  ++itemsShown_;
  const LinkText linkText = entry.showsTitle ? ChooseLinkText(path, isFolder) : LinkText{};
  // The index page standing for its folder shows its own times and size.
  if (path != listed.path) item = ItemAt(path);
  // "%fLinkCount%" shows the links to the item itself, not the sum below it that orders.
  if (entry.showsLinkCount) item.linkCount = LinkCountOf(path, linkCounts_, context_, false);
  const std::string relativeLink = RelativeLink(outputFolder_, path);
  if (LogTakesLine()) Trace("AddUrlToSiteMapHtmlCode()-" + path + "-finaly, rel abs added=" + relativeLink);
  entry.text.Expand(entryText_, item, depth, linkText, settings_, outputFolder_, &relativeLink);
  if (xmlMap_) {
    const std::string warning = LongAddressWarning(entryText_, path);
    if (!warning.empty()) warnings_.push_back(warning);
  }
  Append(isFolder ? MapPart::Folder : MapPart::File, entryText_, ItemTime(item));
  if (files_ != nullptr && !isFolder) files_->push_back(path);
  return true;
}

LinkText SiteMapBuilder::ChooseLinkText(std::string& path, bool isFolder) const {
  LinkText linkText;
  if (!isFolder) {
    if (IsPageExtension(path)) linkText = {TitleOf(path), true};
  } else if (settings_.bIndexAsDirText) {
    const std::string index = IndexPageOf(path, context_.outputPath);
    // A folder whose index page is left out keeps its plain entry.
    if (!index.empty() && !IsNoindexPage(index)) {
      linkText = {TitleOf(index), true};
      if (linkText.text.empty()) linkText = {PathTitle(path)};
      path = index;
      Trace("AddUrlToSiteMapHtmlCode()-" + path + "-a directory, sHrefAbsolute=" + path);
    }
  }
  if (linkText.text.empty()) linkText = {PathName(path)};
  return linkText;
}

bool SiteMapBuilder::IsNoindexPage(const std::string& path) const {
  return settings_.bSkipNoindex && IsPageExtension(path) && IsPageMarkedNoindex(path);
}

bool MapShowsPageTitles(const RunSettings& settings) {
  return UsesMacro(settings.sTemplateFile, "autoHrefText") ||
         UsesMacro(settings.sTemplateFolder + settings.sTemplateFolderLevelDown, "autoHrefText");
}

std::vector<std::string> ListSiteFiles(const RunSettings& settings, const std::string& startFolder,
                                       const std::string& outputPath) {
  RunSettings listing = settings;
  for (std::string* text : {&listing.sTemplateStart, &listing.sTemplateFolder, &listing.sTemplateFile,
                            &listing.sTemplateEnd, &listing.sTemplateFolderLevelDown,
                            &listing.sTemplateFolderLevelUp})
    text->clear();
  listing.bUsePageRank = listing.bExcludeNotLinked = listing.bAddSignature = false;
  const LinkCountTable noCounts;
  RunContext context{startFolder, settings.sDomain};
  context.outputPath = outputPath;
  const PageTitles noTitles;
  std::vector<std::string> files;
  std::vector<std::string> unread;  // the listing wants the files, not what it could not read
  SiteMapBuilder builder(listing, noCounts, context, noTitles, unread);
  builder.RecordFiles(files);
  DiscardingSink nowhere;
  builder.Build(startFolder, nowhere);
  return files;
}

std::string SiteMapBuilder::TitleOf(const std::string& page) const {
  std::optional<std::string> title = titles_.TryOf(page);
  const std::string warning = title ? "" : "couldn't read page " + page + ": " + ReadProblem(page);
  // The crawl may have said so already.
  if (!title && std::find(warnings_.begin(), warnings_.end(), warning) == warnings_.end())
    warnings_.push_back(warning);
  return title.value_or("");
}

bool SiteMapBuilder::SharesIndexAddress(const std::string& path) const {
  if (!settings_.bCleanFolderUrls || !IsIndexPage(path)) return false;
  const std::string standing = IndexPageOf(StripTrailingSlashKeepRoot(PathParent(path)), context_.outputPath);
  return !standing.empty() && standing != path;
}

bool SiteMapBuilder::IsOwnFile(const std::string& path) const {
  return path == context_.outputPath || IsTemporaryFileName(NamePartsOf(path).name) ||
         (MayBeSplit(context_.outputPath, settings_.nSitemapPartEntries) &&
          IsMapPartPath(path, context_.outputPath));
}

void SiteMapBuilder::EmitFiles(const SiteItemList& items, int depth) {
  for (size_t i = 0; i < items.size(); ++i) {
    // What the next few files look up is fetched step by step while this one is written.
    for (size_t step = 0; step < 3; ++step)
      if (i + 3 - step < items.size()) Prefetch(items[i + 3 - step].path, static_cast<int>(step));
    if (!items[i].IsFolder() && !Cancelled(control_)) AddUrlToSiteMapHtmlCode(items[i], depth);
  }
}

bool SiteMapBuilder::LogTakesLine() {
  TraceLog& log = TraceLog::Instance();
  return log.Keeps(LogDetail::kFull) && !log.LeavesOut("", 1);
}

void SiteMapBuilder::Prefetch(const std::string& path, int step) const {
  if (fileTemplate_.showsTitle) titles_.Prefetch(path, step);
  if (settings_.bExcludeNotLinked) linkCounts_.PrefetchEqual(path, step);
}
