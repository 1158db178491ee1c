#include "links/ParsedSite.h"

#include <algorithm>

#include "links/ParseInOrder.h"

namespace {

// Words a block holds; a page with more links has a block of its own.
constexpr size_t kBlockWords = size_t{1} << 16;
// A log file holds fewer link lines than this (64 MB, a line is longer than 40 bytes); the
// texts of further links as found are read again when the log still wants them.
constexpr size_t kFoundKeptAtMost = 1600000;

}  // namespace

void ParsedSite::Parse(const CandidatePages& pages, const RunContext& context, PageNeeds needs, int workers,
                       bool keepFound, TargetSpellings& targets, const RunControl* control) {
  keepFound_ = keepFound;
  const auto parse = [&](size_t i, ParsedPage& page, std::string& text) {
    ParsePage(pages.Path(i), context, needs, page, text);
  };
  const auto take = [&](size_t i, const ParsedPage& page) {
    // Only a page read whole, under its own name, is as the crawl would read it.
    if (page.read == PageRead::kRead && page.path == pages.Path(i)) Keep(page, targets);
    return !Cancelled(control);
  };
  ParseInOrder(pages.Size(), workers, parse, take);
}

void ParsedSite::Keep(const ParsedPage& page, TargetSpellings& targets) {
  const size_t number = targets.Number(page.path);
  if (number >= pageOf_.size()) pageOf_.resize(number + 1, 0);
  pageOf_[number] = static_cast<uint32_t>(pages_.size() + 1);
  Page& kept = pages_.emplace_back();
  kept.titleOffset = titles_.size();
  kept.titleLength = static_cast<uint32_t>(page.title.size());
  titles_.append(page.title);
  kept.withFound = keepFound_ && foundKept_ < kFoundKeptAtMost;
  words_.clear();
  std::string_view rest = page.linkTexts;
  for (const ParsedLink& link : page.links) {
    const ParsedLinkTexts texts(link, rest);
    if (link.kind != LinkKind::kHyperlink) continue;  // only checked, never counted
    words_.push_back(static_cast<uint32_t>(targets.Number(texts.target) * 2 + (link.follow ? 1 : 0)));
    if (kept.withFound) words_.push_back(static_cast<uint32_t>(found_.Number(texts.found)));
    ++kept.linkCount;
  }
  if (kept.withFound) foundKept_ += kept.linkCount;
  Store(words_, kept);
}

void ParsedSite::Store(const std::vector<uint32_t>& words, Page& page) {
  if (blocks_.empty() || blocks_.back().size() + words.size() > blocks_.back().capacity()) {
    blocks_.emplace_back().reserve(std::max(kBlockWords, words.size()));
  }
  page.block = static_cast<uint32_t>(blocks_.size() - 1);
  page.offset = static_cast<uint32_t>(blocks_.back().size());
  blocks_.back().insert(blocks_.back().end(), words.begin(), words.end());
}

bool ParsedSite::Take(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
                      ParsedPage& page) const {
  if (number >= pageOf_.size() || pageOf_[number] == 0) return false;
  const Page& parsed = pages_[pageOf_[number] - 1];
  if (withFound && !parsed.withFound) return false;
  page.path = path;
  page.read = PageRead::kRead;
  page.text.clear();
  page.title.assign(titles_, parsed.titleOffset, parsed.titleLength);
  page.links.resize(parsed.linkCount);
  page.linkTexts.clear();
  const uint32_t* word = blocks_[parsed.block].data() + parsed.offset;
  for (ParsedLink& link : page.links) {
    const uint32_t target = *word / 2;
    const bool follow = (*word++ & 1) != 0;
    const size_t begin = page.linkTexts.size();
    if (parsed.withFound && withFound) found_.AppendText(*word, page.linkTexts);
    if (parsed.withFound) ++word;
    const size_t foundEnd = page.linkTexts.size();
    if (withFound) targets.AppendText(target, page.linkTexts);
    link = {0, static_cast<uint32_t>(foundEnd - begin), ParsedLink::kFoundAsWritten,
            static_cast<uint32_t>(page.linkTexts.size() - foundEnd), 0, follow,
            LinkKind::kHyperlink, ParsedLink::kNotCounted, target};
  }
  return true;
}
