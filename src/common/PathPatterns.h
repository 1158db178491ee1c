#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a list of patterns says about a path: nothing, the path matches, or the last
// matching pattern was a "!" one.
enum class PatternMatch { kNone, kMatched, kNegated };

// gitignore-style patterns, matched against paths relative to the start folder ("a/b.html":
// "/"-separated, no leading or trailing "/"). The last pattern that matches decides; letter
// case counts.
class PathPatterns {
 public:
  // Adds one line as written in an ignore file of `folder` (relative to the start folder,
  // empty for the start folder itself). Blank lines and "#" comments add nothing.
  void Add(std::string_view line, std::string_view folder = {});
  // Adds every line of `text`, the contents of an ignore file of `folder`.
  void AddLines(std::string_view text, std::string_view folder);
  // Drops the patterns added after the first `count`.
  void Truncate(size_t count);
  size_t Size() const { return patterns_.size(); }
  bool Empty() const { return patterns_.empty(); }

  PatternMatch Match(std::string_view path, bool isFolder) const;

 private:
  struct Pattern {
    std::vector<std::string> segments;  // split at "/"; "**" stands for any number of folders
    size_t folderDepth = 0;             // segments of the folder it applies in
    std::string folder;                 // that folder with a trailing "/", or empty
    bool negated = false;
    bool foldersOnly = false;
    bool anchored = false;  // else the last name alone is matched, at any depth
  };
  static bool Matches(const Pattern& pattern, std::string_view path,
                      const std::vector<const char*>& names, bool isFolder);

  std::vector<Pattern> patterns_;
};
