#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/RunControl.h"
#include "common/RunSettings.h"
#include "common/TextSink.h"
#include "links/LinkCountTable.h"
#include "links/PageTitle.h"
#include "sitemap/Macros.h"
#include "sitemap/MapSink.h"
#include "sitemap/SiteItem.h"
#include "sitemap/Selection.h"

struct MapPiece {
  MapPart part;
  size_t end;  // the stretch ends here and begins where the piece before it ends
};

// Writes the site-map text of one run: a depth-first walk from the start folder that
// expands the templates of `settings` for every folder and file it emits. The output file,
// its parts and temporary files are never listed.
class SiteMapBuilder {
 public:
  // All five must outlive the builder; `linkCounts` is sorted when the link counter ran,
  // `titles` holds the pages it read. What the walk cannot read goes to `warnings`.
  // A cancelled `control` ends the walk early; each folder listed and item written counts.
  SiteMapBuilder(const RunSettings& settings, const LinkCountTable& linkCounts,
                 const RunContext& context, const PageTitles& titles,
                 std::vector<std::string>& warnings, RunControl* control = nullptr);

  // For a preview: expands only the first `maxItems` items (and the Level up texts of the
  // folders among them); the walk goes on to count the rest in ItemsLeftOut(). When
  // `pieces` is given, it receives which template each stretch of the text came from.
  void LimitTo(int64_t maxItems, std::vector<MapPiece>* pieces);
  int64_t ItemsLeftOut() const { return itemsLeftOut_; }

  // Writes to `out` the Start template, the tree of `startFolder` (existing, forward
  // slashes, no trailing "/"), the signature when asked for and the End template.
  void Build(const std::string& startFolder, TextSink& out);
  // The same, telling `out` which template each piece came from.
  void Build(const std::string& startFolder, MapSink& out);
  // The folders and files the last Build emitted with a text of their own (a folder whose
  // templates are empty is no entry of the map), and the bytes it wrote.
  size_t EntryCount() const { return size_t(itemsShown_ + itemsLeftOut_ - silentItems_); }
  size_t BytesWritten() const { return bytes_; }

  // From now on, appends the path of every file emitted to `files` (which must outlive the
  // builder).
  void RecordFiles(std::vector<std::string>& files) { files_ = &files; }

  // Emits the folder `folder`, its files, its sub-folders, then the Level up text; with
  // bSkipEmptyFolders nothing when no file in it or below it is kept.
  void EmitFolder(const SiteItem& folder, int depth);
  // Emits one folder or file, as listed; false when it is left out.
  bool AddUrlToSiteMapHtmlCode(const SiteItem& listed, int depth);

 private:
  struct FolderId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FolderId&) const = default;
  };
  struct FolderIdHash {
    size_t operator()(const FolderId& id) const { return std::hash<uint64_t>{}(id.inode * 31 + id.device); }
  };

  // The link text of "%AutoHrefText%". May move `path` to the folder's index page.
  LinkText ChooseLinkText(std::string& path, bool isFolder) const;
  bool IsNoindexPage(const std::string& path) const;
  // The page's title; a warning when it cannot be read.
  std::string TitleOf(const std::string& page) const;
  // The output file, its parts or a temporary file: never part of the map.
  bool IsOwnFile(const std::string& path) const;
  // With clean folder addresses a folder's index pages share its address: true for each
  // but the one that stands for the folder.
  bool SharesIndexAddress(const std::string& path) const;
  // Passes on the text held while it could yet be taken back.
  void Release();
  void EmitEntries(const std::string& path, int depth);
  // Emits the files among the sorted entries of one folder, at `depth`.
  void EmitFiles(const SiteItemList& items, int depth);
  // Starts fetching, in steps, what a file's entry looks up (PageTitles::Prefetch).
  void Prefetch(const std::string& path, int step) const;
  // Whether a line of the walk would reach the log. A full log counts it as left out here,
  // and the caller spares making it.
  static bool LogTakesLine();
  bool Full() const { return itemsShown_ >= maxItems_; }
  // `time`: of a folder or file, its time; 0 for the other pieces.
  void Append(MapPart part, std::string_view text, int64_t time = 0);
  // Where the text and its counts stand, to take back a folder that holds no file.
  struct Mark {
    size_t text, pieces, held;
    int64_t itemsShown, itemsLeftOut, silentItems;
    size_t keptFiles;
  };
  Mark Here() const;
  void Rewind(const Mark& mark);

  // What a folder's or a file's entry is made of, read once for the whole walk.
  struct EntryTemplate {
    explicit EntryTemplate(std::string text);
    ExpandableTemplate text;
    bool showsTitle;      // "%AutoHrefText%"
    bool showsLinkCount;  // "%fLinkCount%", with or without filters
    bool showsStatus;     // a size or a time
  };

  const RunSettings& settings_;
  const EntryTemplate folderTemplate_;  // the Folder and Level down templates
  const EntryTemplate fileTemplate_;
  const LinkCountTable& linkCounts_;
  const RunContext& context_;
  const PageTitles& titles_;
  std::string outputFolder_;
  Selection selection_;
  size_t keptFiles_ = 0;  // files the selection kept so far, whether emitted or not
  std::vector<std::string>& warnings_;
  RunControl* control_;
  std::unordered_set<FolderId, FolderIdHash> enteredFolders_;  // each folder whose contents were emitted
  int64_t maxItems_ = std::numeric_limits<int64_t>::max();
  int64_t itemsShown_ = 0;
  int64_t itemsLeftOut_ = 0;
  int64_t silentItems_ = 0;  // items whose templates are empty
  bool xmlMap_ = false;      // the output is a sitemap file, whose addresses have a limit
  EntryDetail detail_ = EntryDetail::kStatus;  // what the listings read: only what the map shows
  std::vector<MapPiece>* pieces_ = nullptr;
  std::vector<std::string>* files_ = nullptr;
  MapSink* out_ = nullptr;  // where Build writes
  struct HeldPiece {
    MapPart part;
    std::string text;
    int64_t time;
  };
  // With empty folders left out, the text of folders not yet known to keep a file.
  std::vector<HeldPiece> held_;
  size_t bytes_ = 0;  // the text so far, passed on or held
  std::string entryText_;  // the text of the last entry, its room reused by the next
};

// Whether the site map of `settings` shows page titles ("%AutoHrefText%"), which a crawl
// then remembers.
bool MapShowsPageTitles(const RunSettings& settings);

// The files a site map of `startFolder` (as Build takes it) lists with the selection of
// `settings` (exclusions and the like), whatever its templates and link-count options.
// The run's old output (`outputPath`, as the walk meets it) is not among them.
std::vector<std::string> ListSiteFiles(const RunSettings& settings, const std::string& startFolder,
                                       const std::string& outputPath = "");
