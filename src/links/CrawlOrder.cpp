#include "links/CrawlOrder.h"

#include <algorithm>

#include "log/TraceLog.h"
#include "platform/FileSystem.h"

namespace {

// The stack of targets is thinned out from this size, whenever it has doubled since.
constexpr size_t kThinOutFrom = 4096;
// Targets asked of the read-ahead at most: about as many as it may hold parsed.
constexpr size_t kAskedAheadPerWorker = 128;
// The stacked targets looked at for new ones to ask, after each page.
constexpr size_t kLookedAtPerWorker = 512;

// Why a page that is there was not read.
std::string UnreadReason(const ParsedPage& page, int64_t maxBytes) {
  if (page.read == PageRead::kTooLarge) return "larger than nMaxPageBytes=" + std::to_string(maxBytes);
  return ReadProblem(page.path);
}

}  // namespace

CrawlOrder::CrawlOrder(const RunContext& context, const CrawlOptions& options, PageNeeds needs,
                       int readAheadWorkers)
    : context_(context), options_(options), needs_(needs),
      readAheadWorkers_(static_cast<size_t>(std::max(readAheadWorkers, 0))), targets_(context.root) {
  if (readAheadWorkers_ > 0)
    readAhead_.emplace(readAheadWorkers, [this](const std::string& target) { return Parse(target); });
}

void CrawlOrder::Start(const std::string& startPage) {
  // Counted when linked, never read: the map of the last run must not count.
  if (!context_.outputPath.empty()) FirstTaken(targets_.Number(context_.outputPath));
  pending_.push_back(static_cast<uint32_t>(targets_.Number(startPage)));
}

void CrawlOrder::ParseAhead(int threads, bool keepFound, PageTitles* titles, RunControl* control) {
  CandidatePages pages(context_.root, [this](const std::string& path) {
    return path != context_.outputPath && (!options_.keeps || options_.keeps(path));
  });
  parsed_.Start(std::move(pages), context_, needs_, threads, keepFound, targets_, titles, control);
}

bool CrawlOrder::Next(TakenPage& taken) {
  while (!pending_.empty()) {
    const size_t number = pending_.back();
    pending_.pop_back();
    if (targets_[number].takenUp) continue;  // taken up since it was stacked
    TakeUp(number, taken);
    return true;
  }
  return false;
}

ParsedPage CrawlOrder::Parse(const std::string& target) const {
  ParsedPage page;
  std::string text;
  ParsePage(target, context_, needs_, page, text);
  return page;
}

// The page parsed for the target, before or now: a page under its own name, or a folder's
// index page. Returns the number of the page taken, or nullopt when none was parsed.
std::optional<size_t> CrawlOrder::TakeParsed(size_t number, TakenPage& taken) {
  if (!parsed_.Started()) return std::nullopt;
  // The log's lines about the page's links need their texts as found, while it takes lines.
  const bool withFound = TraceLog::Instance().Keeps(LogDetail::kFull) && !TraceLog::Instance().IsFull("");
  size_t read = number;
  std::string path = targets_.Text(number);
  if (!IsPageExtension(path)) {
    std::string index = DefaultDocument(path);
    if (index == path) return std::nullopt;
    read = targets_.Number(index);
    path = std::move(index);
  }
  if (targets_[read].pageTaken) return TakenBefore(read, path, taken);
  const ParsedSite::Taken got = parsed_.Take(read, path, targets_, withFound, taken.page);
  if (got == ParsedSite::Taken::kNone) return std::nullopt;
  // A page kept has its targets numbered, and its title is remembered already.
  taken.spellings = got == ParsedSite::Taken::kKept ? &targets_ : nullptr;
  return read;
}

// A page taken up before under another spelling (a folder's index page) is passed over; it
// is not read again, but whether it was too large is told again.
size_t CrawlOrder::TakenBefore(size_t number, std::string path, TakenPage& taken) {
  ParsedPage& page = taken.page;
  page.path = std::move(path);
  page.read = targets_[number].tooLarge ? PageRead::kTooLarge : PageRead::kRead;
  page.links.clear();
  page.linkTexts.clear();
  taken.spellings = nullptr;
  return number;
}

void CrawlOrder::TakeUp(size_t number, TakenPage& taken) {
  parsed_.TakeWaiting();
  std::optional<size_t> read = TakeParsed(number, taken);
  if (!read) {
    taken.spellings = nullptr;
    if (targets_[number].askedAhead) taken.page = TakeAhead(number);
    else ParsePage(targets_.Text(number), context_, needs_, taken.page, text_);
    read = targets_.Number(taken.page.path);
  }
  targets_[number].takenUp = true;
  if (targets_[*read].askedAhead) Forget(*read);  // a folder's page, asked under its own name
  targets_[*read].takenUp = true;
  taken.use = UseOf(taken.page, *read);
  targets_[*read].tooLarge = taken.page.read == PageRead::kTooLarge;
  taken.warning.clear();
  // A missing page is a broken link; one that is there but unread leaves counts out.
  if (taken.use == PageUse::kUnread && PathExists(taken.page.path))
    taken.warning = "couldn't read page " + taken.page.path + ": " + UnreadReason(taken.page, context_.maxPageBytes);
  if (taken.use != PageUse::kCounted) return;
  StackLinks(taken.page);
  if (readAhead_) AskAhead();
}

// `number` is the page's own, under its path.
PageUse CrawlOrder::UseOf(const ParsedPage& page, size_t number) {
  if (!FirstTaken(number) || !IsPageExtension(page.path)) return PageUse::kPassedOver;
  // The start page, or a folder's index page, may be left out of the map.
  if (!Kept(targets_[number], number)) return PageUse::kPassedOver;
  return page.read == PageRead::kRead ? PageUse::kCounted : PageUse::kUnread;
}

// Numbers the link targets, marks those left out, and stacks those not taken up yet.
void CrawlOrder::StackLinks(ParsedPage& page) {
  const size_t stacked = pending_.size();
  std::string_view rest = page.linkTexts;
  PageTargetNumbers numbers(targets_);
  for (ParsedLink& link : page.links) {
    const ParsedLinkTexts texts(link, rest);
    if (link.kind != LinkKind::kHyperlink) continue;
    const size_t number = link.number != ParsedLink::kUnnumbered ? link.number : numbers.Number(texts.target);
    TargetSpellings::Target& target = targets_[number];
    if (!Kept(target, number)) continue;
    link.target = static_cast<uint32_t>(number);
    if (link.follow && !target.takenUp) pending_.push_back(static_cast<uint32_t>(number));
  }
  std::reverse(pending_.begin() + static_cast<std::ptrdiff_t>(stacked), pending_.end());
  if (pending_.size() >= kThinOutFrom && pending_.size() >= 2 * thinnedSize_) ThinOutStack();
}

// A target is taken up where it lies highest on the stack, and passed over where it lies
// lower or was taken up already: those places go, and the order stays. Without this, a site
// of many pages stacks every link of the pages read so far.
void CrawlOrder::ThinOutStack() {
  size_t kept = pending_.size();  // the kept ones gather at the top
  for (size_t place = pending_.size(); place-- > 0;) {
    TargetSpellings::Target& target = targets_[pending_[place]];
    if (target.takenUp || target.stacked) continue;
    target.stacked = true;
    pending_[--kept] = pending_[place];
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(kept));
  for (const uint32_t number : pending_) targets_[number].stacked = false;
  thinnedSize_ = pending_.size();
}

// Only the exact spelling reaches a file on Linux: "PAGE.HTML" is no second spelling of
// "page.html", but another file or none.
bool CrawlOrder::FirstTaken(size_t number) {
  TargetSpellings::Target& target = targets_[number];
  if (target.pageTaken) return false;
  target.pageTaken = true;
  return true;
}

bool CrawlOrder::Kept(TargetSpellings::Target& target, size_t number) {
  if (!options_.keeps) return true;
  if (!target.keptKnown) target.kept = options_.keeps(targets_.Text(number));
  target.keptKnown = true;
  return target.kept;
}

// Asks the read-ahead for the targets nearest the top of the stack, those to be taken up
// soonest, as far as it takes more.
void CrawlOrder::AskAhead() {
  size_t looked = 0;
  for (auto it = pending_.rbegin(); it != pending_.rend() && looked < kLookedAtPerWorker * readAheadWorkers_ &&
                                    askedAhead_ < kAskedAheadPerWorker * readAheadWorkers_;
       ++it, ++looked) {
    TargetSpellings::Target& target = targets_[*it];
    if (target.takenUp || target.askedAhead) continue;
    target.askedAhead = true;
    ++askedAhead_;
    asks_.emplace_back(*it, targets_.Text(*it));
  }
  readAhead_->Ask(asks_);
}

ParsedPage CrawlOrder::TakeAhead(size_t number) {
  targets_[number].askedAhead = false;
  --askedAhead_;
  return readAhead_->Take(number);
}

void CrawlOrder::Forget(size_t number) {
  targets_[number].askedAhead = false;
  --askedAhead_;
  readAhead_->Drop(number);
}
