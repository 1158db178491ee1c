#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "links/LinkCountTable.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "links/PageTitle.h"

// What a crawl keeps of a page besides its links, each only when someone asks for it.
struct PageNeeds {
  bool title = false;  // for the link texts of the site map
  bool text = false;   // for an observer of the crawl
};

// One link of a parsed page; its texts lie in the page's `linkTexts`, one after another.
struct ParsedLink {
  static constexpr uint32_t kFoundAsWritten = UINT32_MAX;
  static constexpr uint32_t kNotCounted = UINT32_MAX;
  int64_t offset = 0;  // of the anchor's "<" in the page text
  uint32_t hrefLength = 0;   // LinkInfo::href
  uint32_t foundLength = 0;  // ResolvedLink::found; kFoundAsWritten when it is the href
  uint32_t targetLength = 0; // ResolvedLink::target
  uint32_t beyondRootLength = 0;  // ResolvedLink::beyondRoot
  bool follow = false;
  LinkKind kind = LinkKind::kHyperlink;  // only hyperlinks are followed and counted
  uint32_t target = kNotCounted;  // the crawl's number of the target, once it is known to count
  uint32_t number = kUnnumbered;  // the same, when given before the walk, counting or not
  static constexpr uint32_t kUnnumbered = UINT32_MAX;
};

// The texts of one parsed link, in the page's `linkTexts`.
struct ParsedLinkTexts {
  std::string_view href;
  std::string_view found;
  std::string_view target;
  std::string_view beyondRoot;
  // The texts of `link`, taken from the front of `texts`, the rest of the page's. Inline:
  // the walk takes apart millions of links, most of them without texts.
  ParsedLinkTexts(const ParsedLink& link, std::string_view& texts) {
    const bool asWritten = link.foundLength == ParsedLink::kFoundAsWritten;
    const size_t foundLength = asWritten ? 0 : link.foundLength;
    const char* at = texts.data();
    const auto next = [&at](size_t length) {
      const std::string_view text(at, length);
      at += length;
      return text;
    };
    href = next(link.hrefLength);
    found = asWritten ? href : next(foundLength);
    target = next(link.targetLength);
    beyondRoot = next(link.beyondRootLength);
    texts.remove_prefix(static_cast<size_t>(at - texts.data()));
  }
};

// A link target read and parsed, ready to be counted. Its links take little more room than
// their texts, as a page may hold a great many.
struct ParsedPage {
  std::string path;  // what was read: the target, or the index page a folder stands for
  PageRead read = PageRead::kUnreadable;  // also when the path is no page
  std::string text;   // when asked for
  std::string title;  // when asked for
  std::vector<ParsedLink> links;  // in page order
  std::string linkTexts;
};

// Reads the link target `target` (a page, or a folder standing for its index.htm or
// index.html) into `text` and parses it into `page`; the room of both serves the next page,
// and the page keeps the text only when it is needed. It shares nothing but the disk and
// writes no log, so several threads may parse pages side by side.
void ParsePage(const std::string& target, const RunContext& context, PageNeeds needs, ParsedPage& page,
               std::string& text);
// The same for the page `path` that a folder listing gave as a regular file, no link.
void ParseListedPage(const std::string& path, const RunContext& context, PageNeeds needs, ParsedPage& page,
                     std::string& text);
// Reads only the title of the page `path` (as PageTitles reads a title it was not told),
// for a page the crawl did not reach; `known` as for ReadPage.
void ReadListedTitle(const std::string& path, const RunContext& context, RegularFile::Known known,
                     ParsedPage& page, std::string& text);
// Parses `text`, read from the page `path`, into `page` as ParsePage does; the page takes
// the text only when `needs` asks for it.
void ParsePageText(const std::string& path, std::string& text, const RunContext& context, PageNeeds needs,
                   ParsedPage& page);
