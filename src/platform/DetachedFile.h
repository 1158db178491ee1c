#pragma once
#include <string>

// A file taken out of its folder that keeps its blocks until this closes. Freeing a large
// file's blocks (and discarding them, on some disks) holds up whoever removes it; a caller
// in a hurry removes it with this and closes this on another thread.
class DetachedFile {
 public:
  DetachedFile() = default;
  DetachedFile(DetachedFile&& other) noexcept;
  // The file held before is freed.
  DetachedFile& operator=(DetachedFile other) noexcept;
  ~DetachedFile();  // closes

  // Removes `path` from its folder as DeleteFile does; true when it was removed. A regular
  // file stays held here until Close; anything else (a link, a pipe) goes at once.
  bool Detach(const std::string& path);
  // Whether a removed file waits here to be freed.
  bool IsOpen() const { return fd_ >= 0; }
  // Frees the held file.
  void Close();

 private:
  int fd_ = -1;
};
