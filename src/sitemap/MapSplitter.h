#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "sitemap/MapSink.h"

// Where the parts of a map go, one after the other.
class PartStore {
 public:
  virtual ~PartStore() = default;
  // The sink of part `number` (1, 2, ... in turn); nullptr when it cannot be made.
  virtual TextSink* BeginPart(int number) = 0;
  // Part `number` is whole: nothing more is written to it.
  virtual void EndPart(int number) = 0;
};

// How much one part may hold; a map within both limits stays one part.
struct PartLimits {
  int64_t entries = std::numeric_limits<int64_t>::max();
  int64_t bytes = std::numeric_limits<int64_t>::max();  // Start and End included
};

// What one part holds.
struct PartSummary {
  int64_t entries = 0;  // folder and file pieces with text
  int64_t bytes = 0;
  int64_t newest = 0;   // the latest time of its entries, when the splitter UsesTimes()
};

// Cuts a map into parts between its entries: each part is the Start text, the next entries
// (with the Level up texts among them) and the End text, within the limits, though a part
// always takes one entry however long.
class MapSplitter : public MapSink {
 public:
  // `store` must outlive the splitter.
  MapSplitter(const PartLimits& limits, PartStore& store) : limits_(limits), store_(store) {}

  // Begins the first part, which the first piece would do; false when it cannot be made.
  bool Begin();
  void WillEndWith(std::string_view endText) override { end_ = endText; }
  void Put(MapPart part, std::string_view text, int64_t time) override;
  // A map that may be cut dates its parts in their index.
  bool UsesTimes() const override { return limits_.entries != PartLimits().entries || limits_.bytes != PartLimits().bytes; }
  // Ends the last part, once the whole map was put (an empty map is one empty part).
  void Finish();

  // The parts begun so far.
  const std::vector<PartSummary>& Parts() const { return parts_; }
  // Whether a part could not be begun; what followed it went nowhere.
  bool Failed() const { return failed_; }

 private:
  void BeginPart();
  void EndPart();
  void Write(std::string_view text);
  // Whether an entry of `size` bytes must go to a new part.
  bool Full(size_t size) const;

  PartLimits limits_;
  PartStore& store_;
  std::string start_;
  std::string end_;
  std::vector<PartSummary> parts_;
  TextSink* out_ = nullptr;
  DiscardingSink nowhere_;
  bool failed_ = false;
};
