#include "common/PathPatterns.h"

#include <fnmatch.h>

#include <algorithm>

namespace {

constexpr std::string_view kAnyFolders = "**";

std::string_view WithoutTrailingBlanks(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // A blank escaped by a backslash stays.
  while (line.ends_with(' ') && !line.ends_with("\\ ")) line.remove_suffix(1);
  return line;
}

std::vector<std::string> SplitAtSlashes(std::string_view text) {
  std::vector<std::string> pieces;
  for (size_t start = 0;;) {
    const size_t slash = text.find('/', start);
    std::string piece(text.substr(start, slash - start));
    // "a/**/**/b" means no more than "a/**/b".
    if (!(piece == kAnyFolders && !pieces.empty() && pieces.back() == kAnyFolders))
      pieces.push_back(std::move(piece));
    if (slash == std::string_view::npos) return pieces;
    start = slash + 1;
  }
}

bool NameMatches(const std::string& pattern, const char* name) {
  return fnmatch(pattern.c_str(), name, 0) == 0;
}

// Whether `segments` match all of `names`, "**" standing for any number of names (at least
// one at the end, so that "a/**" matches what is inside a, not a itself).
bool SegmentsMatch(const std::vector<std::string>& segments, const char* const* names, size_t count) {
  // matched[j]: the segments so far match the first j names.
  std::vector<char> matched(count + 1, 0), next(count + 1);
  matched[0] = 1;
  for (size_t i = 0; i < segments.size(); ++i) {
    std::fill(next.begin(), next.end(), 0);
    if (segments[i] == kAnyFolders) {
      const bool last = i + 1 == segments.size();
      bool reached = false;
      for (size_t j = 0; j <= count; ++j) {
        if (!last) reached = reached || matched[j];
        next[j] = reached;
        if (last) reached = reached || matched[j];
      }
    } else {
      for (size_t j = 0; j < count; ++j)
        next[j + 1] = matched[j] && NameMatches(segments[i], names[j]);
    }
    matched.swap(next);
  }
  return matched[count];
}

}  // namespace

void PathPatterns::Add(std::string_view line, std::string_view folder) {
  line = WithoutTrailingBlanks(line);
  if (line.empty() || line.front() == '#') return;
  Pattern pattern;
  pattern.negated = line.front() == '!';
  if (pattern.negated) line.remove_prefix(1);
  pattern.foldersOnly = line.ends_with('/');
  if (pattern.foldersOnly) line.remove_suffix(1);
  // A slash anywhere but at the end ties the pattern to its folder.
  pattern.anchored = line.find('/') != std::string_view::npos;
  if (line.starts_with('/')) line.remove_prefix(1);
  if (line.empty()) return;
  pattern.segments = SplitAtSlashes(line);
  if (!folder.empty()) {
    pattern.folder = std::string(folder) + "/";
    pattern.folderDepth = static_cast<size_t>(std::count(folder.begin(), folder.end(), '/')) + 1;
  }
  patterns_.push_back(std::move(pattern));
}

void PathPatterns::AddLines(std::string_view text, std::string_view folder) {
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    Add(text.substr(start, end - start), folder);
    start = end + 1;
  }
}

void PathPatterns::Truncate(size_t count) {
  if (count < patterns_.size()) patterns_.resize(count);
}

PatternMatch PathPatterns::Match(std::string_view path, bool isFolder) const {
  if (patterns_.empty()) return PatternMatch::kNone;
  // fnmatch wants each name ended by a zero byte: the slashes of a copy become ones.
  std::string names(path);
  std::vector<const char*> starts{names.c_str()};
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] != '/') continue;
    names[i] = '\0';
    starts.push_back(names.c_str() + i + 1);
  }
  for (auto pattern = patterns_.rbegin(); pattern != patterns_.rend(); ++pattern) {
    if (Matches(*pattern, path, starts, isFolder))
      return pattern->negated ? PatternMatch::kNegated : PatternMatch::kMatched;
  }
  return PatternMatch::kNone;
}

bool PathPatterns::Matches(const Pattern& pattern, std::string_view path,
                           const std::vector<const char*>& names, bool isFolder) {
  if (pattern.foldersOnly && !isFolder) return false;
  if (!path.starts_with(pattern.folder) || names.size() <= pattern.folderDepth) return false;
  if (!pattern.anchored) return NameMatches(pattern.segments.front(), names.back());
  return SegmentsMatch(pattern.segments, names.data() + pattern.folderDepth,
                       names.size() - pattern.folderDepth);
}
