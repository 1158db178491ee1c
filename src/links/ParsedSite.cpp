#include "links/ParsedSite.h"

#include <algorithm>

#include "links/ParseInOrder.h"

namespace {

// A log file holds fewer link lines than this (64 MB, a line is longer than 90 bytes); the
// texts of further links as found are read again when the log still wants them.
constexpr size_t kFoundKeptAtMost = 750000;
// Bytes a block of pages holds; a larger page has a block of its own.
constexpr size_t kBlockBytes = size_t{1} << 20;

void AppendNumber(std::string& bytes, uint64_t number) {
  for (; number >= 0x80; number >>= 7) bytes.push_back(static_cast<char>(number | 0x80));
  bytes.push_back(static_cast<char>(number));
}

uint64_t NextNumber(const uint8_t*& bytes) {
  uint64_t number = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = *bytes++;
    number |= static_cast<uint64_t>(byte & 0x7f) << shift;
    if (byte < 0x80) return number;
  }
}

// A target's number as its distance from the page's, the sign in the lowest bit.
uint64_t Distance(size_t target, size_t page) {
  return target >= page ? (target - page) * 2 : (page - target) * 2 - 1;
}
size_t FromDistance(uint64_t distance, size_t page) {
  return distance % 2 == 0 ? page + distance / 2 : page - (distance + 1) / 2;
}

}  // namespace

void ParsedSite::Parse(const CandidatePages& pages, const RunContext& context, PageNeeds needs, int workers,
                       bool keepFound, TargetSpellings& targets, RunControl* control) {
  keepFound_ = keepFound;
  const auto parse = [&](size_t i, ParsedPage& page, std::string& text) {
    ParsePage(pages.Path(i), context, needs, page, text);
  };
  const auto take = [&](size_t i, const ParsedPage& page) {
    // Only a page read whole, under its own name, is as the crawl would read it.
    if (page.read == PageRead::kRead && page.path == pages.Path(i)) Keep(page, targets);
    Advance(control, &RunProgress::parsed);
    return !Cancelled(control);
  };
  ParseInOrder(pages.Size(), workers, parse, take);
}

void ParsedSite::Keep(const ParsedPage& page, TargetSpellings& targets) {
  const size_t number = targets.Number(page.path);
  if (number >= pageOf_.size()) pageOf_.resize(number + 1, 0);
  pageOf_[number] = static_cast<uint32_t>(pages_.size() + 1);
  const bool withFound = keepFound_ && foundKept_ < kFoundKeptAtMost;
  size_t hyperlinks = 0;
  for (const ParsedLink& link : page.links) hyperlinks += link.kind == LinkKind::kHyperlink ? 1 : 0;
  encoded_.clear();
  AppendNumber(encoded_, hyperlinks * 2 + (withFound ? 1 : 0));
  AppendNumber(encoded_, page.title.size());
  encoded_.append(page.title);
  std::string_view rest = page.linkTexts;
  for (const ParsedLink& link : page.links) {
    const ParsedLinkTexts texts(link, rest);
    if (link.kind != LinkKind::kHyperlink) continue;  // only checked, never counted
    AppendNumber(encoded_, Distance(targets.Number(texts.target), number) * 2 + (link.follow ? 1 : 0));
    if (withFound) AppendNumber(encoded_, found_.Number(texts.found));
  }
  if (withFound) foundKept_ += hyperlinks;
  Store(pages_.emplace_back());
}

void ParsedSite::Store(Page& page) {
  if (blocks_.empty() || blocks_.back().size() + encoded_.size() > blocks_.back().capacity())
    blocks_.emplace_back().reserve(std::max(kBlockBytes, encoded_.size()));
  page.block = static_cast<uint32_t>(blocks_.size() - 1);
  page.offset = static_cast<uint32_t>(blocks_.back().size());
  blocks_.back().append(encoded_);
}

bool ParsedSite::Take(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
                      ParsedPage& page) const {
  if (number >= pageOf_.size() || pageOf_[number] == 0) return false;
  const Page& parsed = pages_[pageOf_[number] - 1];
  const auto* bytes = reinterpret_cast<const uint8_t*>(blocks_[parsed.block].data() + parsed.offset);
  const uint64_t head = NextNumber(bytes);
  const bool foundKept = head % 2 == 1;
  if (withFound && !foundKept) return false;
  page.links.resize(head / 2);
  const size_t titleLength = NextNumber(bytes);
  page.title.assign(reinterpret_cast<const char*>(bytes), titleLength);
  bytes += titleLength;
  page.path = path;
  page.read = PageRead::kRead;
  page.text.clear();
  page.linkTexts.clear();
  for (ParsedLink& link : page.links) {
    const uint64_t word = NextNumber(bytes);
    const auto target = static_cast<uint32_t>(FromDistance(word / 2, number));
    const size_t begin = page.linkTexts.size();
    const uint64_t found = foundKept ? NextNumber(bytes) : 0;
    if (withFound) found_.AppendText(found, page.linkTexts);
    const size_t foundEnd = page.linkTexts.size();
    if (withFound) targets.AppendText(target, page.linkTexts);
    link = {0, static_cast<uint32_t>(foundEnd - begin), ParsedLink::kFoundAsWritten,
            static_cast<uint32_t>(page.linkTexts.size() - foundEnd), 0, word % 2 == 1,
            LinkKind::kHyperlink, ParsedLink::kNotCounted, target};
  }
  return true;
}
