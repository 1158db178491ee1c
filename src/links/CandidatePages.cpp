#include "links/CandidatePages.h"

#include "links/FolderRelativePath.h"
#include "links/LinkResolution.h"
#include "platform/FileSystem.h"

CandidatePages::CandidatePages(const std::string& folder, const std::function<bool(const std::string& path)>& wanted)
    : folder_(FolderRelativePath::Folder(folder)) {
  List(folder_, wanted);
}

// `folder` ends with "/".
void CandidatePages::List(const std::string& folder, const std::function<bool(const std::string& path)>& wanted) {
  std::vector<std::string> subfolders;
  VisitFolderKinds(folder, [&](const std::string& name, EntryKind kind) {
    std::string path = folder + name;
    if (kind == EntryKind::kFolder) subfolders.push_back(std::move(path) + "/");
    else if (IsPageExtension(name) && wanted(path)) {
      rests_.append(path, folder_.size());
      ends_.push_back(rests_.size());
      regular_.push_back(kind == EntryKind::kRegularFile);
    }
  });
  for (const std::string& subfolder : subfolders) List(subfolder, wanted);
}
