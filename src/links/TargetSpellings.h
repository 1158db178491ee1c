#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/HashSlots.h"
#include "links/FolderRelativePath.h"

// Every target spelling met in a crawl, exactly as resolved (kept without the start folder),
// numbered, with whether it was taken up: a spelling met before needs no
// case-blind lookup in the count table. The texts lie side by side in the order met, as the links of a page mostly lead to targets met
// together, and the lookup made for every link touches few cache lines.
class TargetSpellings {
 public:
  // In one byte: a record of a large site's many targets takes 16 bytes.
  struct Target {
    bool takenUp : 1 = false;
    bool askedAhead : 1 = false;  // asked of the read-ahead and neither taken nor dropped yet
    bool pageTaken : 1 = false;   // a page of this path taken up
    bool stacked : 1 = false;     // seen while the stack of targets is thinned out
    bool keptKnown : 1 = false;   // whether `kept` was asked yet
    bool kept : 1 = false;        // whether the site map lists it
    bool tooLarge : 1 = false;    // a page taken up and found too large to read
  };
  // Spellings below `folder` are kept without it; without one, every spelling is kept whole.
  explicit TargetSpellings(std::string_view folder = {}) : folder_(FolderRelativePath::Folder(folder)) {}
  // The number of `text`, given when it is new; numbers stay valid as spellings are added.
  size_t Number(std::string_view text);
  Target& operator[](size_t number) { return records_[number].target; }
  std::string Text(size_t number) const { return Kept(number).Whole(folder_); }
  void AppendText(size_t number, std::string& out) const {
    const FolderRelativePath kept = Kept(number);
    if (kept.belowFolder) out.append(folder_);
    out.append(kept.rest);
  }

 private:
  struct Record {
    size_t offset = 0;  // of the text in texts_
    uint32_t length : 31 = 0;
    uint32_t belowFolder : 1 = 0;  // kept without folder_
    Target target;
  };
  static_assert(sizeof(Record) <= 16);
  FolderRelativePath Kept(size_t number) const {
    const Record& record = records_[number];
    return {std::string_view(texts_).substr(record.offset, record.length), record.belowFolder == 1};
  }

  std::string folder_;  // with its final "/", or empty
  std::vector<Record> records_;
  std::string texts_;
  HashSlots slots_;
};

// Numbers the targets of one page's links, in their order. Links in a row mostly lead to one
// page (to its anchors, in reference pages), which is then looked up once.
class PageTargetNumbers {
 public:
  explicit PageTargetNumbers(TargetSpellings& targets) : targets_(targets) {}
  // `target` must stay in place, unchanged, until the next call.
  size_t Number(std::string_view target) {
    if (number_ == kNone || target != last_) {
      number_ = targets_.Number(target);
      last_ = target;
    }
    return number_;
  }

 private:
  static constexpr size_t kNone = SIZE_MAX;
  TargetSpellings& targets_;
  std::string_view last_;
  size_t number_ = kNone;
};
