#include "platform/TypedPath.h"

#include "common/Paths.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"

namespace {

// Absolute from the current folder; a Windows form such as "C:/x" is left as it is.
std::string Absolute(const std::string& path) {
  if (path.starts_with('/')) return LexicalPath(path);
  if (IsAbsolutePath(path)) return path;
  return LexicalPath(CurrentFolder() + "/" + path);
}

}  // namespace

std::string StartFolderForRun(const std::string& typed) {
  if (typed.empty()) return typed;
  return StripTrailingSlashKeepRoot(Absolute(PathExists(typed) ? typed : NormalisedPath(typed)));
}

std::string OutputPathForRun(const std::string& startFolder, const std::string& typedName) {
  const std::string asTyped = typedName.starts_with('/') ? typedName : ChildPath(startFolder, typedName);
  // An output is mostly new: its folder existing tells that the name was meant as typed.
  if (PathExists(asTyped) || IsFolder(PathParent(asTyped))) return Absolute(asTyped);
  return Absolute(GetOutputFilePath(startFolder, typedName));
}
