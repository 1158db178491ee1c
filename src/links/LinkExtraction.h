#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "links/EXmlBasics.h"

// One anchor with an href found on a page.
struct LinkInfo {
  std::string href;   // entity-decoded
  std::string title;  // empty when absent or not asked for
  std::string text;   // its text items, trimmed and joined; empty when not asked for
  int64_t offset = 0; // of the anchor's "<" in the page text, for its line (LineCounter)
};

// What is kept of each anchor: a crawl needs only where it leads and where it stands.
enum class AnchorDetail { kHrefOnly, kWithTitleAndText };

// Appends the anchors that carry an href, in page order, as a browser sees them: comments
// and the contents of script and style elements hold none, and an anchor still open ends
// where the next one begins. Returns false when a read failed and `ignoreErrors` is false.
// Both details find the same anchors at the same offsets.
bool ExtractLinks(XmlCursor& cursor, std::vector<LinkInfo>& links, bool ignoreErrors,
                  AnchorDetail detail = AnchorDetail::kWithTitleAndText);
// The same, handing each anchor to `sink` as it is found: a page of many links needs no
// list of them all.
using LinkSink = std::function<void(const LinkInfo& link)>;
bool ExtractLinks(XmlCursor& cursor, const LinkSink& sink, bool ignoreErrors, AnchorDetail detail);

// Appends the names a "#fragment" can point to on a page: every element's id and the name
// of every anchor, outside comments, scripts and styles, in page order.
void ExtractFragmentTargets(XmlCursor& cursor, std::vector<std::string>& names);
