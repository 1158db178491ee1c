#include "links/CrawlPage.h"

#include <bit>
#include <cstdint>

#include "common/TextHash.h"
#include "links/LinkCounter.h"

namespace {

// A target naming a page is read straight away; only when it is no file is it looked at as
// a folder, which spares a stat per page.
void ReadTarget(const std::string& target, int64_t maxBytes, ParsedPage& page, std::string& text) {
  page.path = target;
  if (IsPageExtension(target)) {
    page.read = ReadPage(target, maxBytes, text);
    if (page.read != PageRead::kUnreadable) return;
  }
  std::string index = DefaultDocument(target);
  if (index == target) return;  // no folder: read in vain already, or no page
  page.path = std::move(index);
  if (IsPageExtension(page.path)) page.read = ReadPage(page.path, maxBytes, text);
}

// Room kept from page to page; a larger buffer goes, lest one huge page hold its room.
constexpr size_t kRoomKept = size_t{1} << 20;

// Makes `page` empty, keeping the room of an ordinary page for the next one.
void Empty(ParsedPage& page) {
  const auto empty = [](auto& buffer, size_t itemBytes) {
    if (buffer.capacity() * itemBytes > kRoomKept) buffer = {};
    buffer.clear();
  };
  empty(page.text, 1);
  empty(page.title, 1);
  empty(page.links, sizeof(ParsedLink));
  empty(page.linkTexts, 1);
  page.read = PageRead::kUnreadable;
}

// Appends the texts of `link`, `href` resolved, to the page's.
void AppendResolved(std::string_view href, const ResolvedLink& resolved, ParsedLink& link, std::string& texts) {
  // Most hrefs are taken as written: their found text is not kept twice.
  const bool asWritten = resolved.found == href;
  link.foundLength = asWritten ? ParsedLink::kFoundAsWritten : static_cast<uint32_t>(resolved.found.size());
  link.targetLength = static_cast<uint32_t>(resolved.target.size());
  link.beyondRootLength = static_cast<uint32_t>(resolved.beyondRoot.size());
  link.follow = resolved.follow && link.kind == LinkKind::kHyperlink;
  texts.append(href).append(asWritten ? "" : resolved.found).append(resolved.target).append(resolved.beyondRoot);
}

// An href of the page already resolved: its first link, and where that link's texts lie.
struct Resolved {
  size_t link;
  size_t at;
  bool follow;  // ResolvedLink::follow, whatever the link's kind
};

// The hrefs of a page resolved so far, by open addressing in one block: a page may hold
// thousands of links, and a node for each would cost about as much as the resolving spared.
class ResolvedHrefs {
 public:
  explicit ResolvedHrefs(size_t links) : slots_(std::bit_ceil(2 * links + 1)) { firsts_.reserve(links); }

  // The entry of `href`: an earlier link's, or else `first`, noted for it (then `added`).
  Resolved& FindOrAdd(std::string_view href, const Resolved& first, const ParsedPage& page, bool& added) {
    const size_t mask = slots_.size() - 1;
    for (size_t i = TextHash::Of(href) & mask;; i = (i + 1) & mask) {
      added = slots_[i] == 0;
      if (added) {
        firsts_.push_back(first);
        slots_[i] = static_cast<uint32_t>(firsts_.size());
        return firsts_.back();
      }
      Resolved& earlier = firsts_[slots_[i] - 1];
      if (std::string_view(page.linkTexts).substr(earlier.at, page.links[earlier.link].hrefLength) == href)
        return earlier;
    }
  }

 private:
  std::vector<uint32_t> slots_;  // 1 + a position in firsts_; 0 when free
  std::vector<Resolved> firsts_;
};

// Appends the texts of `link` as those of `earlier`, a link of the same href.
void AppendAsEarlier(const ParsedLink& earlier, const Resolved& resolved, ParsedLink& link, std::string& texts) {
  link.foundLength = earlier.foundLength;
  link.targetLength = earlier.targetLength;
  link.beyondRootLength = earlier.beyondRootLength;
  link.follow = resolved.follow && link.kind == LinkKind::kHyperlink;
  const size_t found = earlier.foundLength == ParsedLink::kFoundAsWritten ? 0 : earlier.foundLength;
  texts.append(texts, resolved.at, earlier.hrefLength + found + earlier.targetLength + earlier.beyondRootLength);
}

// Keeps each link of a page, its href appended to the others.
class PageHrefs final : public HrefSink {
 public:
  PageHrefs(ParsedPage& page, std::string& hrefs) : page_(page), hrefs_(hrefs) {}
  void Found(std::string_view href, int64_t offset, LinkKind kind) override {
    page_.links.push_back({offset, static_cast<uint32_t>(href.size()), 0, 0, 0, false, kind});
    hrefs_.append(href);
  }

 private:
  ParsedPage& page_;
  std::string& hrefs_;
};

// Keeps the hrefs of the page's links, resolved, one after another. They are resolved once
// all are read, as a base element anywhere on the page sets where they lead; an href that
// comes again is resolved once.
void ExtractPageLinks(const RunContext& context, const std::string& text, ParsedPage& page) {
  std::string hrefs;
  PageHrefs keep(page, hrefs);
  const std::optional<std::string> base = ExtractHrefs(text, keep);
  LinkResolver resolver(page.path, context);
  if (base) resolver.SetBase(*base);
  ResolvedLink resolved;
  ResolvedHrefs done(page.links.size());
  std::string_view rest = hrefs;
  for (size_t i = 0; i < page.links.size(); ++i) {
    ParsedLink& link = page.links[i];
    const std::string_view href = rest.substr(0, link.hrefLength);
    rest.remove_prefix(link.hrefLength);
    bool added = false;
    Resolved& first = done.FindOrAdd(href, Resolved{i, page.linkTexts.size(), false}, page, added);
    if (!added) {
      AppendAsEarlier(page.links[first.link], first, link, page.linkTexts);
      continue;
    }
    resolver.Resolve(href, resolved);
    first.follow = resolved.follow;
    AppendResolved(href, resolved, link, page.linkTexts);
  }
}

// Fills in what the crawl keeps of the page `page.path`, read into `text`.
void ParseText(const RunContext& context, PageNeeds needs, std::string& text, ParsedPage& page) {
  if (needs.title) page.title = TitleInText(text);
  ExtractPageLinks(context, text, page);
  if (needs.text) std::swap(page.text, text);
}

// Parses the page read into `text`, when it was, and empties `text` for the next page.
void ParseWhatWasRead(const RunContext& context, PageNeeds needs, ParsedPage& page, std::string& text) {
  if (page.read == PageRead::kRead) ParseText(context, needs, text, page);
  text.clear();
  if (text.capacity() > kRoomKept) text = std::string();
}

}  // namespace

void ParsePage(const std::string& target, const RunContext& context, PageNeeds needs, ParsedPage& page,
               std::string& text) {
  Empty(page);
  ReadTarget(target, context.maxPageBytes, page, text);
  ParseWhatWasRead(context, needs, page, text);
}

void ParseListedPage(const std::string& path, const RunContext& context, PageNeeds needs, ParsedPage& page,
                     std::string& text) {
  Empty(page);
  page.path = path;
  page.read = ReadPage(path, context.maxPageBytes, text, RegularFile::Known::kListedRegular);
  ParseWhatWasRead(context, needs, page, text);
}

void ReadListedTitle(const std::string& path, const RunContext& context, RegularFile::Known known,
                     ParsedPage& page, std::string& text) {
  Empty(page);
  page.path = path;
  page.read = ReadPageHead(path, context.maxPageBytes, text, known);
  if (page.read == PageRead::kRead) page.title = TitleInText(text);
  text.clear();
}

void ParsePageText(const std::string& path, std::string& text, const RunContext& context, PageNeeds needs,
                   ParsedPage& page) {
  Empty(page);
  page.path = path;
  page.read = PageRead::kRead;
  ParseText(context, needs, text, page);
}
