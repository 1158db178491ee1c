#include "common/PathPatterns.h"

#include <fnmatch.h>

#include <algorithm>

namespace {

constexpr std::string_view kAnyFolders = "**";

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutTrailingBlanks(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  while (line.ends_with(' ')) {
    // A blank escaped by a backslash stays; "\\ " is an escaped backslash and a blank.
    size_t backslashes = 0;
    while (backslashes + 1 < line.size() && line[line.size() - 2 - backslashes] == '\\') ++backslashes;
    if (backslashes % 2 == 1) break;
    line.remove_suffix(1);
  }
  return line;
}

// True when a "[" opens a set that no "]" closes: git then matches nothing at all.
bool HasUnclosedSet(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
      continue;
    }
    if (text[i] != '[') continue;
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '!' || text[j] == '^')) ++j;
    if (j < text.size() && text[j] == ']') ++j;  // a "]" first is a member
    while (j < text.size() && text[j] != ']') j += text[j] == '\\' ? 2 : 1;
    if (j >= text.size()) return true;
    i = j;
  }
  return false;
}

bool IsPlainName(std::string_view text) { return text.find_first_of("*?[\\") == std::string_view::npos; }

// The extension a "*.ext" pattern needs ("log" of "*.log"); empty for any other pattern.
std::string_view NeededExtension(std::string_view name) {
  if (!name.starts_with("*.") || name.size() == 2) return {};
  const std::string_view extension = name.substr(2);
  const bool plain = IsPlainName(extension) && extension.find('.') == std::string_view::npos;
  return plain ? extension : std::string_view();
}

std::string_view ExtensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
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
  if (line.empty() || HasUnclosedSet(line)) return;
  pattern.segments = SplitAtSlashes(line);
  if (!folder.empty()) {
    pattern.folder = std::string(folder) + "/";
    pattern.folderDepth = static_cast<size_t>(std::count(folder.begin(), folder.end(), '/')) + 1;
  }
  patterns_.push_back(std::move(pattern));
  if (std::vector<size_t>* bucket = BucketOf(patterns_.size() - 1, true))
    bucket->push_back(patterns_.size() - 1);
  else
    ordered_.push_back(patterns_.size() - 1);
}

std::vector<size_t>* PathPatterns::BucketOf(size_t position, bool create) {
  const Pattern& pattern = patterns_[position];
  if (pattern.anchored) return nullptr;
  const std::string& name = pattern.segments.front();
  Buckets& buckets = IsPlainName(name) ? byName_ : byExtension_;
  const std::string_view key = IsPlainName(name) ? std::string_view(name) : NeededExtension(name);
  if (key.empty()) return nullptr;
  if (create) return &buckets[std::string(key)];
  const auto found = buckets.find(key);
  return found == buckets.end() ? nullptr : &found->second;
}

void PathPatterns::AddLines(std::string_view text, std::string_view folder) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    Add(text.substr(start, end - start), folder);
    start = end + 1;
  }
}

void PathPatterns::Truncate(size_t count) {
  // The patterns go last first, so each is the last of its bucket.
  while (patterns_.size() > count) {
    std::vector<size_t>* bucket = BucketOf(patterns_.size() - 1, false);
    (bucket ? bucket : &ordered_)->pop_back();
    patterns_.pop_back();
  }
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
  const std::string_view name = starts.back();
  std::ptrdiff_t last = -1;
  const auto named = byName_.find(name);
  if (named != byName_.end()) last = LastMatch(named->second, last, path, starts, isFolder);
  const std::string_view extension = ExtensionOf(name);
  const auto withExtension = extension.empty() ? byExtension_.end() : byExtension_.find(extension);
  if (withExtension != byExtension_.end())
    last = LastMatch(withExtension->second, last, path, starts, isFolder);
  last = LastMatch(ordered_, last, path, starts, isFolder);
  if (last < 0) return PatternMatch::kNone;
  return patterns_[static_cast<size_t>(last)].negated ? PatternMatch::kNegated : PatternMatch::kMatched;
}

std::ptrdiff_t PathPatterns::LastMatch(const std::vector<size_t>& positions, std::ptrdiff_t floor,
                                       std::string_view path, const std::vector<const char*>& names,
                                       bool isFolder) const {
  for (auto position = positions.rbegin();
       position != positions.rend() && static_cast<std::ptrdiff_t>(*position) > floor; ++position)
    if (Matches(patterns_[*position], path, names, isFolder))
      return static_cast<std::ptrdiff_t>(*position);
  return floor;
}

bool PathPatterns::Matches(const Pattern& pattern, std::string_view path,
                           const std::vector<const char*>& names, bool isFolder) {
  if (pattern.foldersOnly && !isFolder) return false;
  if (!path.starts_with(pattern.folder) || names.size() <= pattern.folderDepth) return false;
  if (!pattern.anchored) return NameMatches(pattern.segments.front(), names.back());
  return SegmentsMatch(pattern.segments, names.data() + pattern.folderDepth,
                       names.size() - pattern.folderDepth);
}
