#include "sitemap/MapSplitter.h"

#include <algorithm>

bool MapSplitter::Begin() {
  if (parts_.empty()) BeginPart();
  return !failed_;
}

void MapSplitter::Put(MapPart part, std::string_view text, int64_t time) {
  const bool entry = (part == MapPart::Folder || part == MapPart::File) && !text.empty();
  if (parts_.empty()) {
    BeginPart();
  } else if (entry && Full(text.size())) {
    Write(end_);
    EndPart();
    BeginPart();
  }
  if (part == MapPart::Start) start_ = text;
  Write(text);
  if (entry) {
    ++parts_.back().entries;
    parts_.back().newest = std::max(parts_.back().newest, time);
  }
}

void MapSplitter::Finish() {
  Begin();
  EndPart();
}

void MapSplitter::EndPart() {
  if (!failed_) store_.EndPart(static_cast<int>(parts_.size()));
}

void MapSplitter::BeginPart() {
  parts_.emplace_back();
  out_ = failed_ ? nullptr : store_.BeginPart(static_cast<int>(parts_.size()));
  failed_ = out_ == nullptr;
  Write(start_);
}

void MapSplitter::Write(std::string_view text) {
  (out_ ? *out_ : nowhere_).Write(text);
  parts_.back().bytes += static_cast<int64_t>(text.size());
}

bool MapSplitter::Full(size_t size) const {
  const PartSummary& part = parts_.back();
  return part.entries > 0 &&
         (part.entries >= limits_.entries ||
          part.bytes + static_cast<int64_t>(size + end_.size()) > limits_.bytes);
}
