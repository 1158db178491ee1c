#include "links/CrawlPage.h"

#include "links/LinkCounter.h"

namespace {

// A target naming a page is read straight away; only when it is no file is it looked at as
// a folder, which spares a stat per page.
void ReadTarget(const std::string& target, int64_t maxBytes, ParsedPage& page) {
  page.path = target;
  if (IsPageExtension(target)) {
    page.read = ReadPage(target, maxBytes, page.text);
    if (page.read != PageRead::kUnreadable) return;
  }
  std::string index = DefaultDocument(target);
  if (index == target) return;  // no folder: read in vain already, or no page
  page.path = std::move(index);
  if (IsPageExtension(page.path)) page.read = ReadPage(page.path, maxBytes, page.text);
}

}  // namespace

ParsedPage ParsePage(const std::string& target, const RunContext& context, PageNeeds needs) {
  ParsedPage page;
  ReadTarget(target, context.maxPageBytes, page);
  if (page.read != PageRead::kRead) return page;
  if (needs.title) page.title = TitleInText(page.text);
  XmlCursor cursor(page.text);
  const LinkResolver resolver(page.path, context);
  ResolvedLink resolved;
  const auto keep = [&](const LinkInfo& link) {
    resolver.Resolve(link.href, resolved);
    // Most hrefs are taken as written: their found text is not kept twice.
    const bool asWritten = resolved.found == link.href;
    page.links.push_back({link.offset, static_cast<uint32_t>(link.href.size()),
                          asWritten ? ParsedLink::kFoundAsWritten : static_cast<uint32_t>(resolved.found.size()),
                          static_cast<uint32_t>(resolved.target.size()), resolved.follow});
    page.linkTexts.append(link.href).append(asWritten ? "" : resolved.found).append(resolved.target);
  };
  ExtractLinks(cursor, keep, true, AnchorDetail::kHrefOnly);
  if (!needs.text) page.text = std::string();
  return page;
}
