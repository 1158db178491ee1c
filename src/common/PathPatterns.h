#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What a list of patterns says about a path: nothing, the path matches, or the last
// matching pattern was a "!" one.
enum class PatternMatch { kNone, kMatched, kNegated };

// gitignore-style patterns, matched against paths relative to the start folder ("a/b.html":
// "/"-separated, no leading or trailing "/"). The last pattern that matches decides; letter
// case counts. Plain names and "*.ext" patterns are looked up by hash, so that ignore files
// of many thousand lines cost little; the others are tried in order.
class PathPatterns {
 public:
  // Adds one line as written in an ignore file of `folder` (relative to the start folder,
  // empty for the start folder itself). Blank lines, "#" comments and patterns that match
  // nothing (an unclosed "[") add nothing.
  void Add(std::string_view line, std::string_view folder = {});
  // Adds every line of `text`, the contents of an ignore file of `folder`; a byte-order mark
  // at its start is skipped.
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
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  // Positions of patterns in `patterns_`, ascending, by the name or extension they need.
  using Buckets = std::unordered_map<std::string, std::vector<size_t>, TextHash, std::equal_to<>>;

  static bool Matches(const Pattern& pattern, std::string_view path,
                      const std::vector<const char*>& names, bool isFolder);
  // The bucket the pattern at `position` goes into; nullptr for the ordered list.
  std::vector<size_t>* BucketOf(size_t position, bool create);
  // The last position in `positions` above `floor` whose pattern matches; else `floor`.
  std::ptrdiff_t LastMatch(const std::vector<size_t>& positions, std::ptrdiff_t floor,
                           std::string_view path, const std::vector<const char*>& names,
                           bool isFolder) const;

  std::vector<Pattern> patterns_;
  Buckets byName_;       // a plain name: "Thumbs.db"
  Buckets byExtension_;  // "*.ext": "*.log" under "log"
  std::vector<size_t> ordered_;
};
