#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fsys = std::filesystem;

TempDir::TempDir(const std::string& base) {
  const fsys::path folder = base.empty() ? fsys::temp_directory_path() : fsys::path(base);
  std::string pattern = (folder / "folioscribe-test-XXXXXX").string();
  path_ = mkdtemp(pattern.data()) ? pattern : std::string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) {
    // Tests may leave read-only folders behind; make them writable so removal succeeds.
    for (auto it = fsys::recursive_directory_iterator(path_, ignored);
         it != fsys::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored))
        fsys::permissions(it->path(), fsys::perms::owner_all, fsys::perm_options::add, ignored);
    }
    fsys::permissions(path_, fsys::perms::owner_all, fsys::perm_options::add, ignored);
    fsys::remove_all(path_, ignored);
  }
}

std::string TempDir::Write(const std::string& relative, const std::string& content) const {
  const std::string full = *this / relative;
  fsys::create_directories(fsys::path(full).parent_path());
  std::ofstream(full, std::ios::binary) << content;
  return full;
}

std::string TempDir::MakeFolder(const std::string& relative) const {
  const std::string full = *this / relative;
  fsys::create_directories(full);
  return full;
}

void TempDir::Build(const std::map<std::string, std::string>& site) const {
  for (const auto& [relative, content] : site) {
    if (!relative.empty() && relative.back() == '/')
      MakeFolder(relative.substr(0, relative.size() - 1));
    else
      Write(relative, content);
  }
}

std::string ReadFileForTest(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesInForTest(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fsys::directory_iterator(folder, ignored))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
