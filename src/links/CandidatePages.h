#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The pages a crawl may read, listed before it starts: every .htm and .html file of a folder
// tree that `wanted` keeps (given the whole path). Links to folders are not followed, so a
// tree with a loop is listed once; what lies behind them is read when the crawl gets there.
// The paths are kept without the folder, side by side.
class CandidatePages {
 public:
  CandidatePages(const std::string& folder, const std::function<bool(const std::string& path)>& wanted);
  size_t Size() const { return ends_.size(); }
  // The whole path of page `i`, spelled as the crawl resolves links: folder, "/", rest.
  std::string Path(size_t i) const { return folder_ + std::string(Rest(i)); }
  // Whether `path` is that of page `i`.
  bool IsPath(size_t i, std::string_view path) const {
    return path.size() > folder_.size() && path.starts_with(folder_) && path.substr(folder_.size()) == Rest(i);
  }
  // Whether the listing gave page `i` as a regular file, not as a link.
  bool ListedRegular(size_t i) const { return regular_[i]; }

 private:
  void List(const std::string& folder, const std::function<bool(const std::string& path)>& wanted);
  std::string_view Rest(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(rests_).substr(begin, ends_[i] - begin);
  }

  std::string folder_;  // with its final "/"
  std::string rests_;
  std::vector<size_t> ends_;  // of each rest in rests_
  std::vector<bool> regular_;
};
