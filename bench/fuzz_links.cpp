// Fuzzes the markup reader, the link extraction and resolution, and the profile reader on
// arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/PathPatterns.h"
#include "common/Text.h"
#include "links/EXmlBasics.h"
#include "links/LinkExtraction.h"
#include "links/LinkResolution.h"
#include "profile/IniFile.h"
#include "profile/ProfileValues.h"

namespace {

// The text as a profile: read, a key set, written and read again.
void ReadAsProfile(const std::string& text) {
  IniFile file = IniFile::Parse(text);
  const std::string start = ReadProfileString(file, "GENERAL", "sTemplateStart", "");
  UnescapeProfileText(start);
  SplitList(ReadProfileString(file, "MORE_OPTIONS", "Exclude", ""), ":", true);
  ReadProfileFlag(file, "MORE_OPTIONS", "bUsePageRank", false);
  file.Set("MORE_OPTIONS", "sDomain", EscapeProfileText(text));
  IniFile::Parse(file.Serialize()).Find("more_options", "SDOMAIN");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReadAsProfile(text);

  std::vector<LinkInfo> found;
  ExtractLinks(text, found);
  const RunContext context{"/site/", "http://www.x.org/"};
  for (const LinkInfo& link : found) LinkKey(ResolveLink("/site/sub/p.htm", link.href, context).target);

  // The crawl's lean reading finds the same links at the same places.
  std::vector<LinkInfo> hrefs;
  ExtractLinks(text, hrefs, AnchorDetail::kHrefOnly);
  if (hrefs.size() != found.size()) __builtin_trap();
  for (size_t i = 0; i < hrefs.size(); ++i)
    if (hrefs[i].href != found[i].href || hrefs[i].offset != found[i].offset) __builtin_trap();

  // Every item read must move the cursor on, so the loop ends.
  XmlCursor items(text);
  while (!items.PastEnd()) {
    const int64_t before = items.pos;
    XmlTag tag;
    ReadTag(items, tag);
    if (items.pos <= before) __builtin_trap();
    tag.GetTagName();
  }

  // Pattern lines come from anyone's ignore files.
  PathPatterns patterns;
  patterns.AddLines(text, "docs");
  patterns.Match("docs/a/[b]/c.htm", false);
  return 0;
}
