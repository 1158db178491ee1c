// Fuzzes the page tokenizer, the link extraction and resolution, and the profile reader on
// arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/PathPatterns.h"
#include "common/Text.h"
#include "links/HtmlTokenizer.h"
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

  // Every token starts past the one before and inside the page, so the loop ends.
  HtmlTokenizer tokenizer(text);
  HtmlToken token;
  int64_t before = -1;
  while (tokenizer.Next(token)) {
    if (token.offset <= before || token.offset >= static_cast<int64_t>(text.size())) __builtin_trap();
    before = token.offset;
    for (const HtmlAttribute& attribute : token.Attributes()) token.Attribute(attribute.name);
  }

  // Pattern lines come from anyone's ignore files.
  PathPatterns patterns;
  patterns.AddLines(text, "docs");
  patterns.Match("docs/a/[b]/c.htm", false);
  return 0;
}
