#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/RunSettings.h"
#include "sitemap/SiteItem.h"

// The value of "%AutoHrefText%": a page title as the page wrote it (entities and all, in
// UTF-8), or a plain name.
struct LinkText {
  std::string text;
  bool isMarkup = false;
};

// What one expansion knows of its item.
struct MacroInput {
  const SiteItem& item;  // its path with forward slashes
  int depth;
  const LinkText& linkText;
  const RunSettings& settings;
  const std::string& outputFolder;  // OutputFolder(settings)
  int64_t now;
  std::string_view argument;  // the format of "%fDateTimeFormat(<format>)%"
  const std::string* relativeLink = nullptr;  // RelativeLink(outputFolder, item's path), when made already
};

// One macro of the template language. The table of them drives the expansion, the macro
// menu and the manual, so a macro is added in one place.
struct MacroDefinition {
  std::string_view name;         // between the "%" signs, as the menu writes it
  std::string_view argument;     // "(...)" the menu adds behind the name; empty for most
  std::string_view description;  // one line for menus and the manual
  std::string_view example;      // a value it might give
  std::string (*value)(const MacroInput&);  // its value without filters
  // Where filters start from when that differs from the value (a title's entities
  // decoded); nullptr when it does not.
  std::string (*plainValue)(const MacroInput&) = nullptr;
};

// Every macro, in menu order.
std::span<const MacroDefinition> MacroTable();
// The text a menu inserts for `macro`: "%fName%", "%fDateTimeFormat(%Y-%m-%d %H:%M:%S)%".
std::string MacroText(const MacroDefinition& macro);
// The manual's table of macros: one Markdown row "| `%name%` | description | `example` |"
// per macro, each ended by a line feed.
std::string MacroManualRows();
// True when `templateText` uses the macro `name` ("autoHrefText"), with or without filters.
bool UsesMacro(std::string_view templateText, std::string_view name);
// True when `templateText` shows what only an item's status tells: its size or a time.
bool UsesItemStatus(std::string_view templateText);

// Expands the `%`-delimited macros of `templateText` for the folder or file at `itemPath`
// (either separator) at indentation `depth`, with `linkText` as "%AutoHrefText%". Macro
// names and their filters ("%fName|url|xml%") match in any letter case; unknown text
// stays as written, a macro with an unknown filter too (with a trace line). Values
// inserted are not searched again. Uses the domain and the output file of `settings`.
// Never fails: an unreadable item has size "0" and time 0.
std::string ExpandMacros(const std::string& templateText, const std::string& itemPath, int depth,
                         const std::string& linkText, const RunSettings& settings);
// The same for an item listed already (its path with forward slashes), read no more.
std::string ExpandMacros(const std::string& templateText, const SiteItem& item, int depth,
                         const LinkText& linkText, const RunSettings& settings);

// A template read once and expanded for many items: its macros are found when it is made.
class ExpandableTemplate {
 public:
  explicit ExpandableTemplate(std::string text);
  ExpandableTemplate(const ExpandableTemplate&) = delete;  // its pieces view its text
  ExpandableTemplate& operator=(const ExpandableTemplate&) = delete;
  ~ExpandableTemplate();

  const std::string& Text() const { return text_; }
  // ExpandMacros of the text into `expanded`, whose old text goes and whose room is reused;
  // `outputFolder` is OutputFolder(settings), `relativeLink` the item's RelativeLink from it
  // when the caller made that already.
  void Expand(std::string& expanded, const SiteItem& item, int depth, const LinkText& linkText,
              const RunSettings& settings, const std::string& outputFolder,
              const std::string* relativeLink = nullptr) const;

 private:
  struct Piece;  // text as written, then one macro or none
  const std::string text_;
  std::vector<Piece> pieces_;
};

// The folder of the output file, forward slashes, with its trailing "/": relative paths in
// the site map start from here.
std::string OutputFolder(const RunSettings& settings);
