#pragma once
#include <string>
#include <string_view>

// Pure text operations on paths; none touches the disk. Two kinds of path meet here:
//
// Paths the program works with (the walk, the crawl, every disk access) have "/" as their
// only separator: any other byte, "\" and ":" included, belongs to a name, as on Linux.
//
// Paths typed by a person (profile values, the command line) may be written in Windows
// forms ("C:\site\docs", "\\server\share"); NormalisedPath and GetOutputFilePath turn
// them into the first kind once, where they enter a run.

// --- Paths the program works with: "/" separates, nothing else does.

// Removes one trailing "/" unless the path is the root "/", which stays whole.
std::string StripTrailingSlashKeepRoot(const std::string& path);
// `folder`, "/" and `name`, with one "/" between them also when `folder` ends with one.
std::string ChildPath(const std::string& folder, const std::string& name);
// The last component without its extension.
std::string PathTitle(const std::string& path);
// The extension without its dot; empty when there is none.
std::string PathExtension(const std::string& path);
// The last component with its extension.
std::string PathName(const std::string& path);
// The same three as views of the path, for a caller that compares many.
struct PathNameParts {
  std::string_view title, extension, name;
};
PathNameParts NamePartsOf(std::string_view path);
// Everything up to and including the last "/"; empty when there is none.
std::string PathParent(const std::string& path);
// The folder holding the last component, without a trailing "/": "C:" of "C:/site", the
// root "/" of "/site"; empty when nothing follows the first "/".
std::string ContainingFolder(const std::string& path);

// The rest of `path` behind `base` (compared ignoring case), without a leading "/"; empty
// when `path` does not begin with `base`.
std::string GetRelativePath(const std::string& base, const std::string& path);
// A relative link from `folder` (forward slashes, trailing "/") to `path` (forward
// slashes): GetRelativePath when `path` lies below `folder`, empty for `folder` itself,
// otherwise with "../" steps up to the deepest folder both share.
std::string RelativeLink(const std::string& folder, const std::string& path);
// The absolute `path` with its "." and ".." steps taken and doubled "/" made one, as a shell
// reads it; a ".." above the root stays there. A trailing "/" stays.
std::string LexicalPath(const std::string& path);

// --- Paths typed by a person: "\" and "/" both separate, drives are known.

// Removes one trailing "\" or "/".
std::string StripTrailingSlash(const std::string& path);
// A typed path in the form the program works with: forward slashes, one trailing
// separator removed, the root kept.
std::string NormalisedPath(const std::string& path);
// With "/": every "\" becomes "/"; with "\": every "/" becomes "\".
std::string ToSlashes(const std::string& path, char separator = '/');
// True for "/x", "C:x", "\\server", and any text holding ":\" or ":/" (web addresses).
bool IsAbsolutePath(std::string_view path);
// Equal apart from one leading and one trailing separator, the kind of separator and case.
bool PathsEqual(const std::string& a, const std::string& b);
// Joins with one separator, chosen from the parts ("\" when the first holds one, ...).
std::string JoinPath(const std::string& first, const std::string& second);
// Resolves `reference` ("../x", "./y", "z") against the absolute `base`.
std::string ResolvePath(const std::string& base, const std::string& reference, bool baseNamesFile);
// "C:" of "C:\site"; empty when there is no drive.
std::string PathDrive(const std::string& path);
// The folder part without the drive, with its separators: "/site/docs/" of "C:/site/docs/a.html".
std::string PathFolder(const std::string& path);
// The output name when absolute, else the start folder, "/" and the name; forward slashes.
std::string GetOutputFilePath(const std::string& startDirectoryPath, const std::string& outputFileName);
