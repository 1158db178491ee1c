#include "sitemap/MapFileSet.h"

#include <utility>

#include "platform/FileSystem.h"
#include "platform/Gzip.h"
#include "platform/ReplacementFile.h"
#include "platform/SignalCleanup.h"
#include "sitemap/MapParts.h"

struct MapFileSet::Member {
  std::string path;
  ReplacementFile file;
  std::unique_ptr<GzipSink> gzip;
  bool whole = false;  // ended, and every byte went to the temporary file

  TextSink& Sink() { return gzip ? static_cast<TextSink&>(*gzip) : file; }
  // Frees what writing took, since a part waits for the others to be whole.
  void End() {
    const bool compressed = !gzip || gzip->Finish();
    gzip.reset();
    whole = file.WriteOut() && compressed;
  }
};

MapFileSet::MapFileSet(std::string outputPath, bool sweepParts)
    : outputPath_(std::move(outputPath)), sweepParts_(sweepParts) {}

MapFileSet::~MapFileSet() = default;

TextSink* MapFileSet::Add(const std::string& path) {
  auto member = std::make_unique<Member>();
  member->path = path;
  if (!member->file.Open(path)) {
    Failed(path, member->file.Problem());
    return nullptr;
  }
  if (IsGzipPath(outputPath_)) member->gzip = std::make_unique<GzipSink>(member->file);
  members_.push_back(std::move(member));
  return &members_.back()->Sink();
}

TextSink* MapFileSet::BeginPart(int number) {
  if (number == 1) return Add(outputPath_);
  if (number == 2) {
    // The map does not fit one file: the first part becomes a part like the rest.
    Member& first = *members_.front();
    first.path = MapPartPath(outputPath_, 1);
    if (!first.file.Retarget(first.path)) {
      Failed(first.path, first.file.Problem());
      return nullptr;
    }
  }
  return Add(MapPartPath(outputPath_, number));
}

void MapFileSet::EndPart(int number) { members_[static_cast<size_t>(number - 1)]->End(); }

bool MapFileSet::Commit(const std::string& indexText) {
  if (!failedPath_.empty()) return false;
  const size_t parts = members_.size();
  if (parts > 1) {
    TextSink* index = Add(outputPath_);
    if (index == nullptr) return false;
    index->Write(indexText);
    members_.back()->End();
  }
  for (const auto& member : members_) {
    if (member->whole) continue;
    Failed(member->path, member->file.Problem());
    return false;
  }
  if (!PutAllInPlace()) {
    Failed(outputPath_, "stopped by a signal");
    return false;
  }
  for (const auto& member : members_) {
    if (member->file.Finish()) continue;
    Failed(member->path, member->file.Problem());
    return false;
  }
  if (sweepParts_) RemovePartsFrom(parts > 1 ? static_cast<int>(parts) + 1 : 1);
  return true;
}

// Renames every file in order, up to one that fails: a signal meanwhile waits, so that it
// never leaves new parts beside old ones. False when a signal came first.
bool MapFileSet::PutAllInPlace() {
  const EndingSignalsHeld held;
  if (held.SignalCame()) return false;
  for (const auto& member : members_)
    if (!member->file.PutInPlace()) break;
  return true;
}

std::vector<std::string> MapFileSet::Warnings() const {
  std::vector<std::string> warnings;
  for (const auto& member : members_)
    warnings.insert(warnings.end(), member->file.Warnings().begin(), member->file.Warnings().end());
  return warnings;
}

void MapFileSet::Failed(const std::string& path, const std::string& reason) {
  failedPath_ = path;
  failedReason_ = reason.empty() ? "not written whole" : reason;
}

void MapFileSet::RemovePartsFrom(int number) {
  // They were written one after the other: the first one missing ends them.
  while (DeleteFile(MapPartPath(outputPath_, number))) ++number;
}
