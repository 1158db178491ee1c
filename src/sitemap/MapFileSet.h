#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sitemap/MapSplitter.h"

// The files one run writes for its map: NAME alone, or the parts NAME-1, NAME-2 ... and
// their index NAME. Each goes through a temporary file of its own, gzip-compressed when
// NAME ends in ".gz"; none replaces an old file before all are whole. Whatever is not
// committed is discarded when the set goes.
class MapFileSet : public PartStore {
 public:
  // `sweepParts`: the map may be split, so parts beyond those written are old and go.
  MapFileSet(std::string outputPath, bool sweepParts);
  ~MapFileSet() override;

  // Part 1 is meant for NAME itself, until a part 2 begins.
  TextSink* BeginPart(int number) override;
  void EndPart(int number) override;

  // Writes `indexText` to NAME when more than one part was written, then puts every file
  // in place, the index last, and removes the old parts beyond. False when any file could
  // not be made or written whole: then no old file was touched (unless a rename failed
  // half-way, which only a folder changed meanwhile can cause). An ending signal waits
  // while the files are put in place: a stopped run leaves the old set or the new one.
  bool Commit(const std::string& indexText);
  // The file that could not be made or written; empty when none failed.
  const std::string& FailedPath() const { return failedPath_; }
  // Why, in the system's words.
  const std::string& FailedReason() const { return failedReason_; }
  // What the new files will not keep of the old ones (owner, other hard links).
  std::vector<std::string> Warnings() const;

 private:
  struct Member;
  TextSink* Add(const std::string& path);
  bool PutAllInPlace();
  void RemovePartsFrom(int number);
  void Failed(const std::string& path, const std::string& reason);

  std::string outputPath_;
  bool sweepParts_;
  std::vector<std::unique_ptr<Member>> members_;
  std::string failedPath_;
  std::string failedReason_;
};
