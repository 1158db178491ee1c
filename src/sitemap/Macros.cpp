#include "sitemap/Macros.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "common/HtmlEntities.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "log/TraceLog.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "sitemap/MacroFilters.h"

namespace {

constexpr const char* kDateTimeFormat = "%Y-%m-%d %H:%M:%S";

std::string Repeat(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

bool IsImagePath(const std::string& path) {
  static const std::array<std::string, 6> kImageExtensions = {"ico", "bmp", "jpeg",
                                                              "jpg", "png", "gif"};
  return std::ranges::find(kImageExtensions, ToLowerAscii(PathExtension(path))) !=
         kImageExtensions.end();
}

// `source` is escaped for the attribute: a name may hold "<", "&" or quotes.
std::string Thumbnail(const std::string& path, const std::string& source) {
  if (!IsImagePath(path)) return "";
  return "<img src=\"" + HtmlEscape(source) + "\" alt=\"\" height=\"24\" style=\"border: 1px solid\">";
}

const std::string& PathOf(const MacroInput& in) { return in.item.path; }
std::string Relative(const MacroInput& in) {
  return in.relativeLink ? *in.relativeLink : RelativeLink(in.outputFolder, PathOf(in));
}
// The same encoded for links, without a copy of a link made already.
std::string RelativeWeb(const MacroInput& in) {
  return in.relativeLink ? WebEscape(*in.relativeLink) : WebEscape(Relative(in));
}
std::string ParentName(const MacroInput& in) {
  return PathName(StripTrailingSlashKeepRoot(PathParent(PathOf(in))));
}

// The item's path from the start folder; a folder and, asked for, its index page end in "/".
std::string UrlPath(const MacroInput& in) {
  const std::string start = StripTrailingSlashKeepRoot(in.settings.sStartDirectoryPath);
  std::string path = GetRelativePath(start + "/", PathOf(in));
  if (path.empty()) return path;
  if (in.item.IsFolder()) return in.settings.bCleanFolderUrls ? path + "/" : path;
  if (in.settings.bCleanFolderUrls && IsIndexPage(path)) return PathParent(path);
  return path;
}

std::string Url(const MacroInput& in) {
  std::string domain = in.settings.sDomain;
  while (!domain.empty() && domain.back() == '/') domain.pop_back();
  return domain + "/" + UrlEscape(UrlPath(in));
}

const MacroDefinition kMacros[] = {
    {"fTitle", "", "the item's name without its extension", "my page",
     [](const MacroInput& in) { return PathTitle(PathOf(in)); }},
    {"fName", "", "the item's name with its extension", "my page.html",
     [](const MacroInput& in) { return PathName(PathOf(in)); }},
    {"fRelativePath", "", "the path from the output file's folder to the item, with ../ where needed", "docs/my page.html",
     Relative},
    {"fAbsoluteLocalPath", "", "the item's full path on this computer",
     "/home/me/site/docs/my page.html", [](const MacroInput& in) { return PathOf(in); }},
    {"fParentName", "", "the name of the folder holding the item", "docs", ParentName},
    {"indentation", "", "`&nbsp;` once per folder level below the start folder", "&nbsp;&nbsp;",
     [](const MacroInput& in) { return Repeat("&nbsp;", in.depth); }},
    {"domain", "", "the domain of More options, as entered", "https://www.example.org/",
     [](const MacroInput& in) { return in.settings.sDomain; }},
    {"autoHrefText", "", "the link text: a page's title, a folder's index-page title, else the name", "My page",
     [](const MacroInput& in) { return in.linkText.text; },
     [](const MacroInput& in) {
       return in.linkText.isMarkup ? DecodeHtmlEntities(in.linkText.text) : in.linkText.text;
     }},
    {"curDate", "", "the date of the run", "2026-12-07",
     [](const MacroInput& in) { return FormatLocalTime(in.now, "%Y-%m-%d"); }},
    {"curTime", "", "the time of the run", "13:05:00",
     [](const MacroInput& in) { return FormatLocalTime(in.now, "%H:%M:%S"); }},
    {"fSizeb", "", "the size in bytes (0 for a folder)", "5120",
     [](const MacroInput& in) { return std::to_string(in.item.size); }},
    {"fDateTime", "", "the last change (a folder: its creation)", "2026-12-07 13:05:00",
     [](const MacroInput& in) { return FormatLocalTime(ItemTime(in.item), kDateTimeFormat); }},
    {"fDateTimeFormat", "(%Y-%m-%d %H:%M:%S)", "the same time in a strftime format of your own (first use per template)",
     "2026-12-07 13:05:00",
     [](const MacroInput& in) {
       return FormatLocalTime(ItemTime(in.item), std::string(in.argument));
     }},
    {"ImageThumb", "", "for an image (ico, bmp, jpeg, jpg, png, gif) an `<img>` tag, else nothing",
     "<img src=\"a.png\" alt=\"\" height=\"24\" style=\"border: 1px solid\">",
     [](const MacroInput& in) { return Thumbnail(PathOf(in), Relative(in)); }},
    {"fTitleWeb", "", "fTitle with blank, %, #, ? and \" encoded for links", "my%20page",
     [](const MacroInput& in) { return WebEscape(PathTitle(PathOf(in))); }},
    {"fNameWeb", "", "fName encoded for links", "my%20page.html",
     [](const MacroInput& in) { return WebEscape(PathName(PathOf(in))); }},
    {"fRelativePathWeb", "", "fRelativePath encoded for links", "docs/my%20page.html",
     RelativeWeb},
    {"fAbsoluteLocalPathWeb", "", "fAbsoluteLocalPath encoded for links",
     "/home/me/site/docs/my%20page.html",
     [](const MacroInput& in) { return WebEscape(PathOf(in)); }},
    {"fParentNameWeb", "", "fParentName encoded for links", "docs",
     [](const MacroInput& in) { return WebEscape(ParentName(in)); }},
    {"ImageThumbWeb", "", "ImageThumb with its link encoded",
     "<img src=\"a%20b.png\" alt=\"\" height=\"24\" style=\"border: 1px solid\">",
     [](const MacroInput& in) { return Thumbnail(PathOf(in), RelativeWeb(in)); }},
    {"fUrl", "", "the web address: the domain, \"/\", the path from the start folder URL-encoded",
     "https://www.example.org/docs/my%20page.html", Url},
    {"fLinkCount", "", "how many links the last crawl found to the item (0 without the link counter)", "12",
     [](const MacroInput& in) { return std::to_string(in.item.linkCount); }},
};

// One macro as a template writes it.
struct MacroUse {
  size_t index = 0;  // in kMacros
  std::string_view argument;
  std::vector<MacroFilter> filters;
  bool unknownFilter = false;
  size_t end = 0;  // behind its closing "%"
};

size_t WordEnd(std::string_view text, size_t pos) {
  while (pos < text.size() && ((text[pos] | 0x20) >= 'a' && (text[pos] | 0x20) <= 'z')) ++pos;
  return pos;
}

std::optional<size_t> MacroNamed(std::string_view name) {
  for (size_t i = 0; i < std::size(kMacros); ++i)
    if (EqualsNoCase(name, kMacros[i].name)) return i;
  return std::nullopt;
}

// Reads "(<format>)" at `pos`. As ever, the one character behind ")" closes it, whatever
// it is, unless filters follow.
bool ReadArgument(std::string_view text, size_t& pos, MacroUse& use) {
  if (pos >= text.size() || text[pos] != '(') return false;
  const size_t close = text.find(')', pos);
  if (close == std::string_view::npos) return false;
  use.argument = text.substr(pos + 1, close - pos - 1);
  pos = close + 1;
  if (pos < text.size() && text[pos] != '|') use.end = pos + 1;
  if (pos >= text.size()) use.end = pos;
  return true;
}

// The macro whose "%" is at `at`; nullopt when none begins there. An argument macro
// expands only where it is first written, as it always did.
std::optional<MacroUse> ReadMacroAt(std::string_view text, size_t at, bool argumentUsed) {
  size_t pos = WordEnd(text, at + 1);
  const auto index = MacroNamed(text.substr(at + 1, pos - at - 1));
  if (!index) return std::nullopt;
  MacroUse use;
  use.index = *index;
  if (!kMacros[*index].argument.empty() && (argumentUsed || !ReadArgument(text, pos, use)))
    return std::nullopt;
  if (use.end != 0) return use;
  while (pos < text.size() && text[pos] == '|') {
    const size_t filterEnd = WordEnd(text, pos + 1);
    const MacroFilter filter = FindMacroFilter(text.substr(pos + 1, filterEnd - pos - 1));
    use.unknownFilter = use.unknownFilter || filter == nullptr;
    use.filters.push_back(filter);
    pos = filterEnd;
  }
  if (pos >= text.size() || text[pos] != '%') return std::nullopt;
  use.end = pos + 1;
  return use;
}

// The values of one item, each made once however often the template asks for it.
class MacroValues {
 public:
  explicit MacroValues(const MacroInput& input) : input_(input) {}

  // The value of `use`, valid until the next call.
  std::string_view Of(const MacroUse& use) {
    const MacroDefinition& macro = kMacros[use.index];
    if (use.filters.empty()) return Made(use, macro.value, 2 * use.index);
    filtered_ = macro.plainValue ? Made(use, macro.plainValue, 2 * use.index + 1)
                                 : Made(use, macro.value, 2 * use.index);
    for (const MacroFilter filter : use.filters) filtered_ = filter(filtered_);
    return filtered_;
  }

 private:
  std::string_view Made(const MacroUse& use, std::string (*make)(const MacroInput&), size_t slot) {
    if (!use.argument.empty()) {
      MacroInput withArgument = input_;
      withArgument.argument = use.argument;
      return withArgument_ = make(withArgument);
    }
    if (!cache_[slot]) cache_[slot] = make(input_);
    return *cache_[slot];
  }

  const MacroInput& input_;
  std::array<std::optional<std::string>, 2 * std::size(kMacros)> cache_;
  std::string withArgument_;  // the last value made with an argument, which is not kept
  std::string filtered_;      // the last filtered value
};

}  // namespace

std::span<const MacroDefinition> MacroTable() { return kMacros; }

bool UsesMacro(std::string_view templateText, std::string_view name) {
  for (size_t at = templateText.find('%'); at != std::string_view::npos;
       at = templateText.find('%', at + 1)) {
    const std::optional<MacroUse> use = ReadMacroAt(templateText, at, false);
    if (use && EqualsNoCase(kMacros[use->index].name, name)) return true;
  }
  return false;
}

bool UsesItemStatus(std::string_view templateText) {
  return std::ranges::any_of(std::array{"fSizeb", "fDateTime", "fDateTimeFormat"},
                             [&](std::string_view name) { return UsesMacro(templateText, name); });
}

std::string MacroManualRows() {
  std::string rows;
  for (const MacroDefinition& macro : kMacros)
    rows += "| `" + MacroText(macro) + "` | " + std::string(macro.description) + " | `" +
            std::string(macro.example) + "` |\n";
  return rows;
}

std::string ExpandMacros(const std::string& templateText, const std::string& itemPath, int depth,
                         const std::string& linkText, const RunSettings& settings) {
  return ExpandMacros(templateText, ItemAt(itemPath), depth, LinkText{linkText},
                      settings);
}

std::string ExpandMacros(const std::string& templateText, const SiteItem& item, int depth,
                         const LinkText& linkText, const RunSettings& settings) {
  std::string expanded;
  ExpandableTemplate(templateText).Expand(expanded, item, depth, linkText, settings, OutputFolder(settings));
  return expanded;
}

struct ExpandableTemplate::Piece {
  std::string_view written;    // taken over as it is
  std::optional<MacroUse> use;  // then this macro, written as `macroText`
  std::string_view macroText;
};

ExpandableTemplate::ExpandableTemplate(std::string text) : text_(std::move(text)) {
  const std::string_view view = text_;
  size_t written = 0;
  bool argumentUsed = false;
  for (size_t at = view.find('%'); at != std::string_view::npos; at = view.find('%', at + 1)) {
    std::optional<MacroUse> use = ReadMacroAt(view, at, argumentUsed);
    if (!use) continue;  // the "%" is text
    const size_t end = use->end;
    argumentUsed = argumentUsed || !kMacros[use->index].argument.empty();
    pieces_.push_back({view.substr(written, at - written), std::move(use), view.substr(at, end - at)});
    written = end;
    at = end - 1;
  }
  pieces_.push_back({view.substr(written), std::nullopt, {}});
}

ExpandableTemplate::~ExpandableTemplate() = default;

void ExpandableTemplate::Expand(std::string& expanded, const SiteItem& item, int depth, const LinkText& linkText,
                                const RunSettings& settings, const std::string& outputFolder,
                                const std::string* relativeLink) const {
  const MacroInput input{item, depth, linkText, settings, outputFolder, CurrentTime(), {}, relativeLink};
  MacroValues values(input);
  expanded.clear();
  for (const Piece& piece : pieces_) {
    expanded.append(piece.written);
    if (!piece.use) continue;
    if (piece.use->unknownFilter) {
      TraceProblem("ExpandMacros()-unknown filter, left as written: " + std::string(piece.macroText));
      expanded.append(piece.macroText);
    } else {
      expanded += values.Of(*piece.use);
    }
  }
}

std::string MacroText(const MacroDefinition& macro) {
  return "%" + std::string(macro.name) + std::string(macro.argument) + "%";
}

std::string OutputFolder(const RunSettings& settings) {
  return ToSlashes(
      PathParent(GetOutputFilePath(settings.sStartDirectoryPath, settings.sOutPutFileName)), '/');
}
