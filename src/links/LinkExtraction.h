#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a link of a page does: a hyperlink (a, area) is followed and counted; the others
// are loaded with the page, and only checked.
enum class LinkKind : uint8_t { kHyperlink, kImage, kScript, kStylesheet, kResource };

// One link found on a page.
struct LinkInfo {
  std::string href;   // character references decoded
  std::string title;  // empty when absent or not asked for
  std::string text;   // its text items, trimmed and joined; empty when not asked for
  int64_t offset = 0; // of the element's "<" in the page text, for its line (LineCounter)
  LinkKind kind = LinkKind::kHyperlink;
};

// What is kept of each anchor: a crawl needs only where it leads and where it stands.
enum class AnchorDetail { kHrefOnly, kWithTitleAndText };

// Hands the links of `page` to `sink` in page order, as a browser reads them: the hrefs of
// a and area, and the sources a page loads (img src and srcset, source, script, link,
// iframe, embed, object, video, audio, input type=image). Comments and the content of
// script, style, textarea, title, xmp, iframe, noembed, noframes and plaintext hold none;
// an anchor still open ends where the next one begins. Returns the href of the first base
// element that has one: it sets where the page's relative links lead.
using LinkSink = std::function<void(const LinkInfo& link)>;
std::optional<std::string> ExtractLinks(std::string_view page, const LinkSink& sink, AnchorDetail detail);
// The same, appending the links to `links`.
std::optional<std::string> ExtractLinks(std::string_view page, std::vector<LinkInfo>& links,
                                        AnchorDetail detail = AnchorDetail::kWithTitleAndText);

// What a crawl keeps of each link, told without a copy: the href (valid during the call),
// where its element's "<" stands, and its kind.
class HrefSink {
 public:
  virtual void Found(std::string_view href, int64_t offset, LinkKind kind) = 0;

 protected:
  ~HrefSink() = default;
};
// Hands the links of `page` to `sink` as ExtractLinks does with AnchorDetail::kHrefOnly.
std::optional<std::string> ExtractHrefs(std::string_view page, HrefSink& sink);

// Appends the names a "#fragment" can point to on a page: every element's id and the name
// of every anchor, outside comments and raw text, in page order.
void ExtractFragmentTargets(std::string_view page, std::vector<std::string>& names);
