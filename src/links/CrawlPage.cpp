#include "links/CrawlPage.h"

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

// Keeps the hrefs of the page's links, resolved, one after another. They are resolved once
// all are read, as a base element anywhere on the page sets where they lead.
void ExtractPageLinks(const RunContext& context, const std::string& text, ParsedPage& page) {
  std::string hrefs;
  const auto keep = [&](const LinkInfo& link) {
    page.links.push_back({link.offset, static_cast<uint32_t>(link.href.size()), 0, 0, 0, false, link.kind});
    hrefs.append(link.href);
  };
  const std::optional<std::string> base = ExtractLinks(text, keep, AnchorDetail::kHrefOnly);
  LinkResolver resolver(page.path, context);
  if (base) resolver.SetBase(*base);
  ResolvedLink resolved;
  std::string_view rest = hrefs;
  for (ParsedLink& link : page.links) {
    const std::string_view href = rest.substr(0, link.hrefLength);
    rest.remove_prefix(link.hrefLength);
    resolver.Resolve(href, resolved);
    // Most hrefs are taken as written: their found text is not kept twice.
    const bool asWritten = resolved.found == href;
    link.foundLength = asWritten ? ParsedLink::kFoundAsWritten : static_cast<uint32_t>(resolved.found.size());
    link.targetLength = static_cast<uint32_t>(resolved.target.size());
    link.beyondRootLength = static_cast<uint32_t>(resolved.beyondRoot.size());
    link.follow = resolved.follow && link.kind == LinkKind::kHyperlink;
    page.linkTexts.append(href).append(asWritten ? "" : resolved.found).append(resolved.target).append(resolved.beyondRoot);
  }
}

}  // namespace

ParsedLinkTexts::ParsedLinkTexts(const ParsedLink& link, std::string_view& texts) {
  const bool asWritten = link.foundLength == ParsedLink::kFoundAsWritten;
  const size_t foundLength = asWritten ? 0 : link.foundLength;
  href = texts.substr(0, link.hrefLength);
  found = asWritten ? href : texts.substr(link.hrefLength, foundLength);
  target = texts.substr(link.hrefLength + foundLength, link.targetLength);
  beyondRoot = texts.substr(link.hrefLength + foundLength + link.targetLength, link.beyondRootLength);
  texts.remove_prefix(link.hrefLength + foundLength + link.targetLength + link.beyondRootLength);
}

void ParsePage(const std::string& target, const RunContext& context, PageNeeds needs, ParsedPage& page,
               std::string& text) {
  Empty(page);
  ReadTarget(target, context.maxPageBytes, page, text);
  if (page.read == PageRead::kRead) {
    if (needs.title) page.title = TitleInText(text);
    ExtractPageLinks(context, text, page);
    if (needs.text) std::swap(page.text, text);
  }
  text.clear();
  if (text.capacity() > kRoomKept) text = std::string();
}
