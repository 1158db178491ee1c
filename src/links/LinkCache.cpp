#include "links/LinkCache.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

#include "common/Paths.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementFile.h"

namespace {

template <typename Number>
bool ReadNumber(std::string_view text, Number& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

LinkCache::LinkCache(std::string path, int64_t maxAgeSeconds, int64_t now)
    : path_(std::move(path)), now_(now) {
  const std::string text = ReadWholeFile(path_).value_or("");
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    Entry entry;
    if (tab2 == std::string_view::npos ||
        !ReadNumber(line.substr(tab1 + 1, tab2 - tab1 - 1), entry.status) ||
        !ReadNumber(line.substr(tab2 + 1), entry.time) || now - entry.time >= maxAgeSeconds)
      continue;
    entries_[std::string(line.substr(0, tab1))] = entry;
  }
}

int LinkCache::StatusOf(const std::string& url) const {
  const auto found = entries_.find(url);
  return found == entries_.end() ? 0 : found->second.status;
}

void LinkCache::Keep(const std::string& url, int status) { entries_[url] = {status, now_}; }

bool LinkCache::Save() const {
  std::vector<const std::pair<const std::string, Entry>*> sorted;
  for (const auto& entry : entries_) sorted.push_back(&entry);
  std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->first < b->first; });
  ReplacementFile file;
  if (!CreateFolders(PathParent(path_)) || !file.Open(path_)) return false;
  for (const auto* entry : sorted)
    file.Write(entry->first + "\t" + std::to_string(entry->second.status) + "\t" +
               std::to_string(entry->second.time) + "\n");
  return file.Commit();
}
