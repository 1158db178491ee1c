#include "links/ParsedSite.h"

#include <algorithm>

#include "links/FoundSpelling.h"

namespace {

// Bytes a block of pages holds; a larger page has a block of its own.
constexpr size_t kBlockBytes = size_t{1} << 20;
// Bytes of the pages kept as parsed, at most.
constexpr size_t kWholeBytes = size_t{8} << 20;

size_t BytesOf(const ParsedPage& page) {
  return page.path.capacity() + page.title.capacity() + page.links.capacity() * sizeof(ParsedLink) +
         page.linkTexts.capacity();
}

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

std::string_view FolderOf(std::string_view path) { return path.substr(0, path.rfind('/') + 1); }

}  // namespace

void ParsedSite::Start(CandidatePages pages, const RunContext& context, PageNeeds needs, int threads,
                       bool keepFound, TargetSpellings& targets, PageTitles* titles, RunControl* control) {
  keepFound_ = keepFound;
  root_ = context.root;
  while (root_.ends_with('/')) root_.pop_back();
  context_ = &context;
  needs_ = needs;
  titles_ = titles;
  pages_.emplace(std::move(pages));
  const auto parse = [this](size_t i, ParsedPage& page, std::string& text) { Parse(i, page, text); };
  const auto take = [this, &targets, control](size_t i, ParsedPage& page) {
    // Only a page read whole, under its own name, is as the crawl would read it.
    if (page.read == PageRead::kRead && pages_->IsPath(i, page.path)) {
      if (titles_ != nullptr) titles_->Remember(page.path, page.title);
      if (!walked_) Keep(page, targets);
    }
    Advance(control, &RunProgress::parsed);
    return !Cancelled(control);
  };
  parse_.emplace(pages_->Size(), threads, parse, take);
  NumberCandidates(targets);
}

// Numbers the pages given, so that the walk knows which of its targets are among them.
void ParsedSite::NumberCandidates(TargetSpellings& targets) {
  for (size_t i = 0; i < pages_->Size(); ++i) {
    const size_t number = targets.Number(pages_->Path(i));
    if (number >= candidates_.size()) candidates_.resize(number + 1, kNoCandidate);
    candidates_[number] = static_cast<uint32_t>(i);
  }
}

// A page is kept as parsed while such pages take little room: the walk, mostly soon to come
// to it, then takes it as it is. Others are kept encoded.
void ParsedSite::Keep(ParsedPage& page, TargetSpellings& targets) {
  const size_t number = targets.Number(page.path);
  const size_t bytes = BytesOf(page);
  if (wholeBytes_ + bytes > kWholeBytes) return Encode(page, number, targets);
  wholeBytes_ += bytes;
  std::swap(whole_[number], page);
}

bool ParsedSite::TakeWhole(size_t number, ParsedPage& page) {
  const auto whole = whole_.find(number);
  if (whole == whole_.end()) return false;
  std::swap(page, whole->second);
  wholeBytes_ -= BytesOf(page);
  whole_.erase(whole);
  return true;
}

void ParsedSite::Encode(const ParsedPage& page, size_t number, TargetSpellings& targets) {
  size_t hyperlinks = 0;
  for (const ParsedLink& link : page.links) hyperlinks += link.kind == LinkKind::kHyperlink ? 1 : 0;
  encoded_.clear();
  AppendNumber(encoded_, hyperlinks * 2 + (keepFound_ ? 1 : 0));
  std::string_view rest = page.linkTexts;
  PageTargetNumbers numbers(targets);
  for (const ParsedLink& link : page.links) {
    const ParsedLinkTexts texts(link, rest);
    if (link.kind != LinkKind::kHyperlink) continue;  // only checked, never counted
    const uint64_t word = Distance(numbers.Number(texts.target), number) * 2 + (link.follow ? 1 : 0);
    if (!keepFound_) {
      AppendNumber(encoded_, word);
      continue;
    }
    const FoundSpelling spelling = SpellingOf(texts.found, texts.target, FolderOf(page.path), root_);
    AppendNumber(encoded_, word * 4 + static_cast<uint64_t>(spelling));
    if (spelling == FoundSpelling::kOwn) AppendNumber(encoded_, found_.Number(texts.found));
  }
  if (number >= kept_.size()) kept_.resize(number + 1);
  Store(kept_[number]);
}

void ParsedSite::Store(Page& page) {
  if (blocks_.empty() || blocks_.back().size() + encoded_.size() > blocks_.back().capacity())
    blocks_.emplace_back().reserve(std::max(kBlockBytes, encoded_.size()));
  page.block = static_cast<uint32_t>(blocks_.size() - 1);
  page.offset = static_cast<uint32_t>(blocks_.back().size());
  blocks_.back().append(encoded_);
}

// Appends a link's text as found, then its target; returns the length of the first.
size_t ParsedSite::AppendLinkTexts(uint32_t target, FoundSpelling spelling, uint64_t found,
                                   const std::string& path, const TargetSpellings& targets,
                                   std::string& texts) const {
  targetText_.clear();
  targets.AppendText(target, targetText_);
  const size_t begin = texts.size();
  if (spelling == FoundSpelling::kOwn) found_.AppendText(found, texts);
  else AppendSpelled(spelling, targetText_, FolderOf(path), root_, texts);
  const size_t foundLength = texts.size() - begin;
  texts.append(targetText_);
  return foundLength;
}

ParsedSite::Taken ParsedSite::Take(size_t number, const std::string& path, const TargetSpellings& targets,
                                   bool withFound, ParsedPage& page) {
  if (TakeWhole(number, page)) return Taken::kRead;
  if (!IsKept(number)) {
    if (!parse_ || number >= candidates_.size() || candidates_[number] == kNoCandidate) return Taken::kNone;
    const size_t i = candidates_[number];
    switch (parse_->Claim(i)) {
      case ParseInOrder::Holder::kNobody:
        return ReadNow(i, page) ? Taken::kRead : Taken::kNone;
      case ParseInOrder::Holder::kCaller:
        return Taken::kNone;  // read before
      case ParseInOrder::Holder::kParser:
        parse_->TakeThrough(i);
        if (TakeWhole(number, page)) return Taken::kRead;
        if (!IsKept(number)) return Taken::kNone;
    }
  }
  // The texts as found are kept for all pages or none.
  if (withFound && !keepFound_) return Taken::kNone;
  Decode(number, path, targets, withFound, page);
  return Taken::kKept;
}

void ParsedSite::Finish() {
  walked_ = true;
  if (parse_) parse_->TakeAll();
}

void ParsedSite::Parse(size_t i, ParsedPage& page, std::string& text) {
  if (walked_.load(std::memory_order_relaxed) && titles_ == nullptr) {
    page.path.clear();
    page.read = PageRead::kUnreadable;
    return;
  }
  clock_.Time([&] {
    const std::string path = pages_->Path(i);
    const bool listed = pages_->ListedRegular(i);
    if (walked_.load(std::memory_order_relaxed))
      ReadListedTitle(path, *context_, listed ? RegularFile::Known::kListedRegular : RegularFile::Known::kNothing,
                      page, text);
    else if (listed) ParseListedPage(path, *context_, needs_, page, text);
    else ParsePage(path, *context_, needs_, page, text);
  });
}

// A page read, or found too large, is as ParsePage finds its target; the caller tries the
// others itself.
bool ParsedSite::ReadNow(size_t i, ParsedPage& page) {
  Parse(i, page, text_);
  return page.read != PageRead::kUnreadable;
}

void ParsedSite::Decode(size_t number, const std::string& path, const TargetSpellings& targets, bool withFound,
                        ParsedPage& page) const {
  const Page& parsed = kept_[number];
  const auto* bytes = reinterpret_cast<const uint8_t*>(blocks_[parsed.block].data() + parsed.offset);
  const uint64_t head = NextNumber(bytes);
  const bool foundKept = head % 2 == 1;
  page.links.resize(head / 2);
  page.title.clear();
  page.path = path;
  page.read = PageRead::kRead;
  page.text.clear();
  page.linkTexts.clear();
  for (ParsedLink& link : page.links) {
    uint64_t word = NextNumber(bytes);
    auto spelling = FoundSpelling::kTarget;
    if (foundKept) {
      spelling = static_cast<FoundSpelling>(word % 4);
      word /= 4;
    }
    const uint64_t found = spelling == FoundSpelling::kOwn ? NextNumber(bytes) : 0;
    const auto target = static_cast<uint32_t>(FromDistance(word / 2, number));
    const size_t begin = page.linkTexts.size();
    const size_t foundLength =
        withFound ? AppendLinkTexts(target, spelling, found, path, targets, page.linkTexts) : 0;
    link = {0, static_cast<uint32_t>(foundLength), ParsedLink::kFoundAsWritten,
            static_cast<uint32_t>(page.linkTexts.size() - begin - foundLength), 0, word % 2 == 1,
            LinkKind::kHyperlink, ParsedLink::kNotCounted, target};
  }
}
