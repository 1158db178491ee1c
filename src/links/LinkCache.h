#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

// Addresses found good in earlier runs, kept in a file of lines "URL<TAB>STATUS<TAB>TIME"
// (seconds since 1970). Failures are never kept.
class LinkCache {
 public:
  // Reads the entries of `path` younger than `maxAgeSeconds` at `now` (none when it is 0);
  // a file missing or unreadable gives none, and lines that do not parse are passed over.
  LinkCache(std::string path, int64_t maxAgeSeconds, int64_t now);

  // The status kept for `url`; 0 when none is.
  int StatusOf(const std::string& url) const;
  // Keeps `url` as good with `status`, as of now.
  void Keep(const std::string& url, int status);
  // Writes the entries still young to the file, its folder made when missing; false when
  // it could not be written.
  bool Save() const;

 private:
  struct Entry {
    int status = 0;
    int64_t time = 0;
  };
  std::string path_;
  int64_t now_;
  std::unordered_map<std::string, Entry> entries_;
};
