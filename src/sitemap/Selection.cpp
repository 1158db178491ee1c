#include "sitemap/Selection.h"

#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

// The lines of the folder's ignore files, ".folioscribeignore" after ".gitignore" so that
// its patterns win.
std::string IgnoreFilesText(const std::string& folder) {
  std::string text;
  for (const char* name : {"/.gitignore", "/.folioscribeignore"})
    text += ReadWholeFile(folder + name).value_or("") + "\n";
  return text;
}

PathPatterns PatternsOf(const std::vector<std::string>& lines) {
  PathPatterns patterns;
  for (const std::string& line : lines) patterns.Add(line);
  return patterns;
}

}  // namespace

Selection::Selection(const RunSettings& settings, const std::string& startFolder)
    : settings_(settings), startFolder_(startFolder), patterns_(PatternsOf(settings.aPatterns)),
      include_(PatternsOf(settings.aInclude)) {}

bool Selection::Keeps(const std::string& path, bool isFolder) const {
  if (ExcludedBySubstring(path)) return false;
  const std::string_view relative = Relative(path);
  if (relative.empty()) return true;  // the start folder itself
  const std::string_view name = NamePartsOf(relative).name;
  if (!isFolder && name.ends_with(kProfileExtension)) return false;
  if (settings_.bSkipHidden && name.starts_with('.')) return false;
  // The profile's own patterns override those of the ignore files.
  PatternMatch match = patterns_.Match(relative, isFolder);
  if (match == PatternMatch::kNone) match = ignoreFiles_.Match(relative, isFolder);
  if (match == PatternMatch::kMatched) return false;
  return isFolder || Included(relative);
}

void Selection::Enter(const std::string& folder) {
  Enter(folder, settings_.bUseIgnoreFiles ? IgnoreFilesText(folder) : "");
}

void Selection::Enter(const std::string& folder, const std::string& ignoreText) {
  ignoreMarks_.push_back(ignoreFiles_.Size());
  ignoreFiles_.AddLines(ignoreText, Relative(folder));
}

void Selection::Leave() {
  ignoreFiles_.Truncate(ignoreMarks_.back());
  ignoreMarks_.pop_back();
}

bool Selection::KeepsWithFolders(const std::string& target, bool isFolder) {
  const std::string path = StripTrailingSlash(target);
  if (!path.starts_with(startFolder_ + "/")) return true;
  const size_t openBefore = ignoreMarks_.size();
  bool kept = true;
  // Each folder on the way, the start folder first, as the walk would enter them.
  for (size_t end = startFolder_.size(); kept && end != std::string::npos;
       end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    kept = Keeps(folder, true);
    auto text = ignoreTexts_.find(folder);
    if (text == ignoreTexts_.end() && settings_.bUseIgnoreFiles)
      text = ignoreTexts_.emplace(folder, IgnoreFilesText(folder)).first;
    Enter(folder, text == ignoreTexts_.end() ? "" : text->second);
  }
  kept = kept && Keeps(path, isFolder);
  while (ignoreMarks_.size() > openBefore) Leave();
  return kept;
}

bool Selection::ExcludedBySubstring(const std::string& path) const {
  // An empty entry would match every path; it stands for nothing.
  for (const std::string& entry : settings_.aExclude)
    if (!entry.empty() && FindNoCase(path, entry) >= 0) return true;
  return false;
}

// A file is included by the nearest of itself and its folders that the list speaks of.
bool Selection::Included(std::string_view relative) const {
  if (include_.Empty()) return true;
  PatternMatch match = include_.Match(relative, false);
  for (size_t slash = relative.rfind('/'); match == PatternMatch::kNone && slash != std::string::npos;
       slash = slash == 0 ? std::string::npos : relative.rfind('/', slash - 1))
    match = include_.Match(relative.substr(0, slash), true);
  return match == PatternMatch::kMatched;
}

std::string_view Selection::Relative(const std::string& path) const {
  const size_t start = startFolder_.size() + 1;  // behind the start folder and its "/"
  if (path.size() <= start || !path.starts_with(startFolder_) || path[start - 1] != '/') return {};
  return std::string_view(path).substr(start);
}
