#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/TextHash.h"

// A path as a run's tables keep it: without the folder most of its paths lie in, so that
// what they keep does not grow with where the site lies. Paths outside it stay whole.
struct FolderRelativePath {
  std::string_view rest;
  bool belowFolder = false;

  // `folder` ends with "/"; an empty folder keeps every path whole.
  static FolderRelativePath Of(std::string_view folder, std::string_view path) {
    if (folder.empty() || !path.starts_with(folder)) return {path, false};
    return {path.substr(folder.size()), true};
  }
  // The folder of the first path a table keeps, with its final "/".
  static std::string FolderOf(std::string_view path) { return std::string(path.substr(0, path.rfind('/') + 1)); }
  // `folder` ("/site", "/site/", "/") as tables keep it, with one final "/"; empty stays empty.
  static std::string Folder(std::string_view folder) {
    if (folder.empty()) return {};
    while (folder.ends_with('/')) folder.remove_suffix(1);
    return std::string(folder) + "/";
  }

  std::string Whole(std::string_view folder) const {
    return belowFolder ? std::string(folder).append(rest) : std::string(rest);
  }
  uint64_t Hash() const { return TextHash::Of(rest) ^ static_cast<uint64_t>(belowFolder); }
  bool operator==(const FolderRelativePath&) const = default;
};
