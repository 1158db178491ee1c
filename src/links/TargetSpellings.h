#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/HashSlots.h"

// Every target spelling met in a crawl, exactly as resolved, numbered, with whether it was
// taken up: a spelling met before needs no case-blind lookup in the count table. The texts
// lie side by side in the order met, as the links of a page mostly lead to targets met
// together, and the lookup made for every link touches few cache lines.
class TargetSpellings {
 public:
  struct Target {
    bool takenUp = false;
    bool askedAhead = false;  // asked of the read-ahead and neither taken nor dropped yet
    bool pageTaken = false;   // a page of this path taken up
    int8_t kept = -1;  // whether the site map lists it; -1 until asked
  };
  // The number of `text`, given when it is new; numbers stay valid as spellings are added.
  size_t Number(std::string_view text);
  Target& operator[](size_t number) { return records_[number].target; }
  std::string_view Text(size_t number) const {
    return std::string_view(texts_).substr(records_[number].offset, records_[number].length);
  }

 private:
  struct Record {
    size_t offset = 0;  // of the text in texts_
    uint32_t length = 0;
    Target target;
  };
  struct Matching {
    const TargetSpellings& spellings;
    std::string_view text;
    bool operator()(size_t number) const { return spellings.Text(number) == text; }
  };
  static uint64_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

  std::vector<Record> records_;
  std::string texts_;
  HashSlots slots_;
};
