#pragma once
#include <map>
#include <string>
#include <vector>

#include "common/PathPatterns.h"
#include "common/RunSettings.h"

// Decides which entries of the start folder's tree the map lists: the substring list
// "Exclude", the patterns, the ignore files, hidden entries, the include list, and never a
// profile file.
class Selection {
 public:
  // `startFolder` normalised (forward slashes, no trailing "/"); `settings` must outlive
  // the selection.
  Selection(const RunSettings& settings, const std::string& startFolder);

  // Whether the entry at `path` (normalised) of the folder the walk is in is listed.
  bool Keeps(const std::string& path, bool isFolder) const;
  // The walk enters the kept folder `folder` (normalised): its ignore files apply below it.
  void Enter(const std::string& folder);
  // The walk leaves the folder it entered last.
  void Leave();
  // Whether `target` is kept together with every folder between it and the start folder; for
  // paths met outside the walk. Paths outside the start folder are kept.
  bool KeepsWithFolders(const std::string& target, bool isFolder);

 private:
  bool ExcludedBySubstring(const std::string& path) const;
  bool Included(std::string_view relative) const;
  // The part of `path` below the start folder, a view of it; empty when it is not below.
  std::string_view Relative(const std::string& path) const;
  // Enters `folder` with the patterns of `ignoreText`, its ignore files' lines.
  void Enter(const std::string& folder, const std::string& ignoreText);

  const RunSettings& settings_;
  std::string startFolder_;
  PathPatterns patterns_;
  PathPatterns include_;
  PathPatterns ignoreFiles_;
  std::vector<size_t> ignoreMarks_;  // the size of ignoreFiles_ before each open folder
  std::map<std::string, std::string> ignoreTexts_;  // read for KeepsWithFolders, by folder
};
