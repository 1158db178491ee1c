#pragma once
#include <map>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes. Paths handed out use forward slashes and no trailing "/".
class TempDir {
 public:
  // In `base` when given: "/dev/shm" makes many small files fast.
  explicit TempDir(const std::string& base = "");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Absolute path of `relative` inside the folder.
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes `content` to `relative`, creating the folders on the way; returns the full path.
  std::string Write(const std::string& relative, const std::string& content) const;
  // Creates the folder `relative` with its parents; returns the full path.
  std::string MakeFolder(const std::string& relative) const;
  // Builds a small site: each key is a relative path; a key ending in "/" is a folder,
  // any other key a file with the mapped content.
  void Build(const std::map<std::string, std::string>& site) const;

 private:
  std::string path_;
};

// The whole content of a file, or "<missing>" when it cannot be read.
std::string ReadFileForTest(const std::string& path);

// The names of the entries of `folder`, hidden ones included, sorted by their bytes.
std::vector<std::string> NamesInForTest(const std::string& folder);
