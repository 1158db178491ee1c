#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "links/EXmlBasics.h"

// One anchor with an href found on a page.
struct LinkInfo {
  std::string href;   // entity-decoded
  std::string title;  // empty when absent
  std::string text;   // its text items, trimmed and joined
  int64_t offset = 0; // of the anchor's "<" in the page text, for its line (LineCounter)
};

// Appends the anchors that carry an href, in page order, as a browser sees them: comments
// and the contents of script and style elements hold none, and an anchor still open ends
// where the next one begins. Returns false when a read failed and `ignoreErrors` is false.
bool ExtractLinks(XmlCursor& cursor, std::vector<LinkInfo>& links, bool ignoreErrors);

// Appends the names a "#fragment" can point to on a page: every element's id and the name
// of every anchor, outside comments, scripts and styles, in page order.
void ExtractFragmentTargets(XmlCursor& cursor, std::vector<std::string>& names);
