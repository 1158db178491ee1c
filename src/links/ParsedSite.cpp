#include "links/ParsedSite.h"

#include "links/ParseInOrder.h"

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
  pages_.push_back({links_.size(), titles_.size(), 0, static_cast<uint32_t>(page.title.size())});
  titles_.append(page.title);
  std::string_view rest = page.linkTexts;
  for (const ParsedLink& link : page.links) {
    const ParsedLinkTexts texts(link, rest);
    if (link.kind != LinkKind::kHyperlink) continue;  // only checked, never counted
    links_.push_back({static_cast<uint32_t>(targets.Number(texts.target)), link.follow,
                      keepFound_ ? static_cast<uint32_t>(found_.Number(texts.found)) : kNoText});
    ++pages_.back().linkCount;
  }
}

bool ParsedSite::Take(size_t number, const std::string& path, const TargetSpellings& targets,
                      ParsedPage& page) const {
  if (number >= pageOf_.size() || pageOf_[number] == 0) return false;
  const Page& parsed = pages_[pageOf_[number] - 1];
  page.path = path;
  page.read = PageRead::kRead;
  page.text.clear();
  page.title.assign(titles_, parsed.titleOffset, parsed.titleLength);
  page.links.resize(parsed.linkCount);
  page.linkTexts.clear();
  for (size_t i = 0; i < parsed.linkCount; ++i) {
    const Link& link = links_[parsed.firstLink + i];
    const size_t begin = page.linkTexts.size();
    if (link.found != kNoText) found_.AppendText(link.found, page.linkTexts);
    const size_t foundEnd = page.linkTexts.size();
    targets.AppendText(link.target, page.linkTexts);
    page.links[i] = {0, static_cast<uint32_t>(foundEnd - begin), ParsedLink::kFoundAsWritten,
                     static_cast<uint32_t>(page.linkTexts.size() - foundEnd), 0, link.follow == 1,
                     LinkKind::kHyperlink, ParsedLink::kNotCounted, link.target};
  }
  return true;
}
