#include "common/Paths.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "common/Text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EndsWithSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

std::string StripLeadingSlash(const std::string& path) {
  return !path.empty() && IsSeparator(path.front()) ? path.substr(1) : path;
}

bool Contains(const std::string& text, char c) { return text.find(c) != std::string::npos; }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The path without its drive; views save copies in these often-called helpers.
std::string_view AfterDrive(const std::string& path) {
  return std::string_view(path).substr(HasDrive(path) ? 2 : 0);
}

// Position of the last "/", or npos. A plain backward loop: rfind calls memchr for every
// byte it passes, and this runs for every link.
size_t LastSlash(std::string_view text) {
  for (size_t i = text.size(); i > 0; --i)
    if (text[i - 1] == '/') return i - 1;
  return std::string_view::npos;
}

// The last component: everything behind the last "/".
std::string_view LastComponent(std::string_view path) {
  const size_t slash = LastSlash(path);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The separator of the first path that holds one, "\" first; 0 when neither does.
char PickSeparator(const std::string& a, const std::string& b) {
  for (const std::string* path : {&a, &b}) {
    if (Contains(*path, '\\')) return '\\';
    if (Contains(*path, '/')) return '/';
  }
  return 0;
}

std::string TrimOneSeparator(const std::string& path, char separator) {
  const std::string trimmed = StripLeadingSlash(StripTrailingSlash(path));
  return separator ? ToSlashes(trimmed, separator) : trimmed;
}

}  // namespace

std::string StripTrailingSlash(const std::string& path) {
  return EndsWithSeparator(path) ? path.substr(0, path.size() - 1) : path;
}

// The Linux root plays the part of a bare drive ("C:"): it keeps its separator.
std::string StripTrailingSlashKeepRoot(const std::string& path) {
  return path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  std::string child;
  child.reserve(folder.size() + 1 + name.size());
  child.append(folder);
  if (!folder.ends_with('/')) child += '/';
  return child.append(name);
}

std::string NormalisedPath(const std::string& path) {
  return StripTrailingSlashKeepRoot(ToSlashes(path, '/'));
}

std::string ToSlashes(const std::string& path, char separator) {
  std::string converted = path;
  std::replace(converted.begin(), converted.end(), separator == '/' ? '\\' : '/', separator);
  return converted;
}

bool IsAbsolutePath(std::string_view path) {
  if (!path.empty() && path[0] == '/') return true;
  if (path.size() < 2) return false;
  return path[1] == ':' || path.starts_with("\\\\") || path.find(":\\") != std::string_view::npos ||
         path.find(":/") != std::string_view::npos;
}

bool PathsEqual(const std::string& a, const std::string& b) {
  const char separator = PickSeparator(a, b);
  return EqualsNoCase(TrimOneSeparator(a, separator), TrimOneSeparator(b, separator));
}

std::string JoinPath(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  const char picked = PickSeparator(first, second);
  const char separator = picked ? picked : '/';
  return StripTrailingSlash(first) + separator + StripLeadingSlash(second);
}

std::string ResolvePath(const std::string& base, const std::string& reference, bool baseNamesFile) {
  if (IsAbsolutePath(reference)) return reference;
  std::string folder = ToSlashes(baseNamesFile ? ContainingFolder(ToSlashes(base)) : base);
  std::string rest = ToSlashes(reference);
  for (;;) {
    folder = StripTrailingSlashKeepRoot(folder);
    if (!rest.starts_with("../")) break;
    rest.erase(0, 3);
    folder = ContainingFolder(folder);
  }
  if (rest.starts_with("./")) rest.erase(0, 2);
  return JoinPath(folder, rest);
}

std::string PathDrive(const std::string& path) { return HasDrive(path) ? path.substr(0, 2) : ""; }

std::string PathFolder(const std::string& path) {
  const std::string_view rest = AfterDrive(path);
  const size_t separator = rest.find_last_of("\\/");
  return std::string(separator == std::string_view::npos ? "" : rest.substr(0, separator + 1));
}

PathNameParts NamePartsOf(std::string_view path) {
  const std::string_view name = LastComponent(path);
  const size_t dot = name.rfind('.');
  // Title and extension joined again: only a dot at the very end is lost.
  return {name.substr(0, dot), dot == std::string_view::npos ? "" : name.substr(dot + 1),
          name.ends_with('.') ? name.substr(0, name.size() - 1) : name};
}

std::string PathTitle(const std::string& path) { return std::string(NamePartsOf(path).title); }

std::string PathExtension(const std::string& path) { return std::string(NamePartsOf(path).extension); }

std::string PathName(const std::string& path) { return std::string(NamePartsOf(path).name); }

std::string PathParent(const std::string& path) {
  const size_t slash = LastSlash(path);
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string ContainingFolder(const std::string& path) {
  const size_t firstSlash = path.find('/');
  if (firstSlash == std::string::npos || firstSlash + 1 == path.size()) return "";
  return StripTrailingSlashKeepRoot(PathParent(StripTrailingSlashKeepRoot(path)));
}

std::string GetRelativePath(const std::string& base, const std::string& path) {
  if (!StartsWithNoCase(path, base)) return "";
  std::string_view rest = std::string_view(path).substr(base.size());
  if (rest.starts_with('/')) rest.remove_prefix(1);
  return std::string(rest);
}

namespace {

// Takes the next component off the front of `path`, doubled "/" skipped; false when
// none is left.
bool NextComponent(std::string_view& path, std::string_view& component) {
  while (path.starts_with('/')) path.remove_prefix(1);
  if (path.empty()) return false;
  const size_t end = std::min(path.find('/'), path.size());
  component = path.substr(0, end);
  path.remove_prefix(end);
  return true;
}

}  // namespace

std::string RelativeLink(const std::string& folder, const std::string& path) {
  std::string_view bareFolder = folder;
  if (!bareFolder.empty() && IsSeparator(bareFolder.back())) bareFolder.remove_suffix(1);
  if (StartsWithNoCase(path, folder) || path == bareFolder) return GetRelativePath(folder, path);
  std::string_view from = folder, to = path, fromPart, toPart;
  bool inFrom = NextComponent(from, fromPart), inTo = NextComponent(to, toPart);
  // Past the folders both share.
  while (inFrom && inTo && fromPart == toPart) {
    inFrom = NextComponent(from, fromPart);
    inTo = NextComponent(to, toPart);
  }
  size_t steps = 0;
  for (; inFrom; inFrom = NextComponent(from, fromPart)) ++steps;
  std::string link;
  link.reserve(3 * steps + toPart.size() + to.size());
  for (; steps > 0; --steps) link += "../";
  if (!inTo) return link;
  // The rest of the path is taken whole unless a doubled or final "/" has to go.
  const std::string_view rest(toPart.data(), to.data() + to.size());
  if (rest.find("//") == std::string_view::npos && !rest.ends_with('/')) return link.append(rest);
  for (bool first = true; inTo; inTo = NextComponent(to, toPart), first = false)
    link.append(first ? "" : "/").append(toPart);
  return link;
}

std::string LexicalPath(const std::string& path) {
  std::vector<std::string_view> kept;
  std::string_view rest = path, part;
  while (NextComponent(rest, part)) {
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
    } else if (part != ".") {
      kept.push_back(part);
    }
  }
  std::string result;
  for (const std::string_view step : kept) result.append("/").append(step);
  if (result.empty() || (path.ends_with('/') && !kept.empty())) result += '/';
  return result;
}

std::string GetOutputFilePath(const std::string& startDirectoryPath,
                              const std::string& outputFileName) {
  if (IsAbsolutePath(outputFileName)) return ToSlashes(outputFileName);
  return ToSlashes(StripTrailingSlash(startDirectoryPath) + "/" + outputFileName, '/');
}
