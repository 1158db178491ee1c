#include "sitemap/OutputFile.h"

#include "common/Escape.h"
#include "common/Paths.h"
#include "platform/FileSystem.h"
#include "sitemap/MapFileSet.h"
#include "sitemap/MapParts.h"
#include "sitemap/SitemapLimits.h"

std::string SignatureText() { return "<hr>\n<p><small>Generated with Folioscribe</small></p>\n"; }

std::string OutputPathAsWalked(const std::string& outputPath, const std::string& root) {
  const std::string folder = RealPath(ContainingFolder(outputPath));
  const std::string realRoot = RealPath(root);
  if (folder.empty() || realRoot.empty()) return outputPath;
  const std::string name = "/" + PathName(outputPath);
  if (folder == realRoot) return StripTrailingSlash(root) + name;
  const std::string inside = StripTrailingSlash(realRoot) + "/";
  if (!folder.starts_with(inside)) return outputPath;
  return StripTrailingSlash(root) + folder.substr(inside.size() - 1) + name;
}

bool MayBeSplit(const std::string& path, int64_t partEntries) {
  return partEntries > 0 && IsXmlMapPath(path);
}

PartLimits PartLimitsFor(const std::string& path, int64_t partEntries) {
  if (!MayBeSplit(path, partEntries)) return {};
  return {partEntries, kMaxSitemapBytes};
}

namespace {

std::vector<MapPartEntry> IndexEntries(const std::string& url,
                                       const std::vector<PartSummary>& parts) {
  std::vector<MapPartEntry> entries;
  for (size_t i = 0; i < parts.size(); ++i)
    entries.push_back({MapPartPath(url, static_cast<int>(i + 1)), parts[i].newest});
  return entries;
}

// Parts that go nowhere, for counting them.
class DiscardingPartStore : public PartStore {
 public:
  TextSink* BeginPart(int) override { return &nowhere_; }
  void EndPart(int) override {}

 private:
  DiscardingSink nowhere_;
};

}  // namespace

int WriteOutputFile(const std::string& path, const MapLayout& layout,
                    const std::function<bool(MapSink&)>& produce, MessageSink& messages) {
  MapFileSet files(path, MayBeSplit(path, layout.partEntries));
  MapSplitter splitter(PartLimitsFor(path, layout.partEntries), files);
  if (splitter.Begin()) {
    // Checked before anything is renamed: an unfinished map never takes the old one's place.
    if (!produce(splitter)) return 0;
    splitter.Finish();
    const auto& parts = splitter.Parts();
    if (files.Commit(SitemapIndexText(IndexEntries(layout.url, parts)))) {
      for (const std::string& warning : files.Warnings()) messages.ShowMessage(EscapedLine(warning));
      return static_cast<int>(parts.size());
    }
  }
  messages.ShowMessage("Couldn't create output file:" + EscapedLine(files.FailedPath()) + " (" +
                       files.FailedReason() + ")");
  return 0;
}

int CountMapParts(const std::string& path, int64_t partEntries,
                  const std::function<void(MapSink&)>& produce) {
  DiscardingPartStore nowhere;
  MapSplitter splitter(PartLimitsFor(path, partEntries), nowhere);
  produce(splitter);
  splitter.Finish();
  return static_cast<int>(splitter.Parts().size());
}
