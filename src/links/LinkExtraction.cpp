#include "links/LinkExtraction.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "common/Text.h"
#include "links/HtmlTokenizer.h"

namespace {

// An element name of up to seven bytes as one number, so that finding it among the link
// elements takes no string comparison; 0 for a longer name.
constexpr uint64_t Packed(std::string_view name) {
  if (name.size() > 7) return 0;
  uint64_t packed = name.size();
  for (size_t i = 0; i < name.size(); ++i) packed |= uint64_t{static_cast<unsigned char>(name[i])} << (8 * (i + 1));
  return packed;
}

struct SourceAttribute {
  std::string_view elementName;
  std::string_view attributeName;
  LinkKind kind;
  uint64_t element = Packed(elementName);
  uint64_t attribute = Packed(attributeName);
};

// The attributes through which a page loads something; link and srcset are read apart.
constexpr SourceAttribute kSources[] = {
    {"a", "href", LinkKind::kHyperlink},       {"area", "href", LinkKind::kHyperlink},
    {"img", "src", LinkKind::kImage},          {"source", "src", LinkKind::kResource},
    {"script", "src", LinkKind::kScript},      {"iframe", "src", LinkKind::kResource},
    {"embed", "src", LinkKind::kResource},     {"object", "data", LinkKind::kResource},
    {"video", "src", LinkKind::kResource},     {"video", "poster", LinkKind::kImage},
    {"audio", "src", LinkKind::kResource},     {"track", "src", LinkKind::kResource},
};
// The names of one part of kSources (the elements, or the attributes) and `others`: whether
// a name is among them, most names ruled out by their sketch, the rest found as a packed
// number, without comparing texts.
class LinkNames {
 public:
  constexpr LinkNames(std::string_view SourceAttribute::*name, uint64_t SourceAttribute::*packed,
                      std::span<const std::string_view> others)
      : packed_(packed), others_(others) {
    for (const SourceAttribute& source : kSources) sketches_[NameSketch(source.*name)] = true;
    for (std::string_view other : others) sketches_[NameSketch(other)] = true;
  }
  const NameSketches& Sketches() const { return sketches_; }
  bool Holds(std::string_view name) const {
    if (!sketches_[NameSketch(name)]) return false;
    const uint64_t packed = Packed(name);
    for (const SourceAttribute& source : kSources)
      if (packed == source.*packed_) return true;
    return std::ranges::find(others_, name) != others_.end();
  }

 private:
  NameSketches sketches_{};
  uint64_t SourceAttribute::*packed_;
  std::span<const std::string_view> others_;
};

constexpr std::string_view kOtherLinkElements[] = {"base", "link", "input"};
// The attributes read besides those of kSources.
constexpr std::string_view kOtherLinkAttributes[] = {"href", "srcset", "rel", "type"};
constexpr std::string_view kOtherLinkAttributesOrTitle[] = {"href", "srcset", "rel", "type", "title"};
constexpr LinkNames kLinkElements(&SourceAttribute::elementName, &SourceAttribute::element, kOtherLinkElements);
constexpr LinkNames kLinkAttributes(&SourceAttribute::attributeName, &SourceAttribute::attribute,
                                    kOtherLinkAttributes);
constexpr LinkNames kLinkAttributesOrTitle(&SourceAttribute::attributeName, &SourceAttribute::attribute,
                                           kOtherLinkAttributesOrTitle);

// The elements whose attributes tell where links lead.
bool HoldsLinks(std::string_view element) { return kLinkElements.Holds(element); }
// The attributes that tell where the links of a link element lead, and what they are.
bool TellsLinks(std::string_view attribute) { return kLinkAttributes.Holds(attribute); }
bool TellsLinksOrTitle(std::string_view attribute) { return kLinkAttributesOrTitle.Holds(attribute); }

bool HasWord(std::string_view list, std::string_view word) {
  for (size_t start = 0; start < list.size();) {
    const size_t end = std::min(list.find_first_of(" \t\n\f\r", start), list.size());
    if (EqualsNoCase(list.substr(start, end - start), word)) return true;
    start = end + 1;
  }
  return false;
}

// Reads one page's tokens and hands on its links.
class LinkReader {
 public:
  // Hands the links to `hrefs` when given, else as a whole, titles and texts, to `sink`.
  LinkReader(std::string_view page, const LinkSink* sink, HrefSink* hrefs)
      : tokenizer_(page), sink_(sink), hrefs_(hrefs) {
    tokenizer_.KeepAttributesOf(HoldsLinks, kLinkElements.Sketches());
    if (hrefs != nullptr) tokenizer_.KeepAttributesNamed(TellsLinks, kLinkAttributes.Sketches());
    else tokenizer_.KeepAttributesNamed(TellsLinksOrTitle, kLinkAttributesOrTitle.Sketches());
  }

  std::optional<std::string> Read() {
    // Without the anchors' texts only the tags of link elements matter.
    if (hrefs_ != nullptr) {
      while (tokenizer_.NextKeptStartTag(token_)) StartTag();
      return base_;
    }
    while (tokenizer_.Next(token_)) {
      if (token_.kind == HtmlToken::Kind::kStartTag) StartTag();
      else if (token_.kind == HtmlToken::Kind::kEndTag && token_.name == "a") EndAnchor();
      else if (token_.kind == HtmlToken::Kind::kText && anchorOpen_) AddText();
    }
    EndAnchor();
    return base_;
  }

 private:
  void StartTag() {
    const std::string_view name = token_.name;
    if (!HoldsLinks(name)) return;
    if (name == "a") EndAnchor();
    if (name == "base" && !base_) {
      if (const std::string* href = token_.Attribute("href")) base_ = *href;
    }
    const uint64_t packed = Packed(name);
    for (const SourceAttribute& source : kSources) {
      if (packed != source.element) continue;
      if (const std::string* value = token_.Attribute(source.attributeName)) Found(*value, source.kind);
    }
    if (name == "img" || name == "source") {
      if (const std::string* set = token_.Attribute("srcset")) SrcSet(*set);
    } else if (name == "link") {
      Link();
    } else if (name == "input") {
      const std::string* type = token_.Attribute("type");
      const std::string* src = token_.Attribute("src");
      if (type != nullptr && src != nullptr && EqualsNoCase(TrimView(*type), "image")) Found(*src, LinkKind::kImage);
    }
  }

  void Link() {
    const std::string* href = token_.Attribute("href");
    if (href == nullptr) return;
    const std::string* rel = token_.Attribute("rel");
    Found(*href, rel != nullptr && HasWord(*rel, "stylesheet") ? LinkKind::kStylesheet : LinkKind::kResource);
  }

  // Each candidate of a srcset: a URL, then descriptors up to ",".
  void SrcSet(std::string_view set) {
    for (size_t at = 0; at < set.size();) {
      at = set.find_first_not_of(" \t\n\f\r,", at);
      if (at == std::string_view::npos) break;
      size_t end = std::min(set.find_first_of(" \t\n\f\r", at), set.size());
      std::string_view url = set.substr(at, end - at);
      const bool lastInCandidate = url.ends_with(',');
      while (url.ends_with(',')) url.remove_suffix(1);
      if (!url.empty()) Found(url, LinkKind::kImage);
      if (!lastInCandidate) end = SkipDescriptors(set, end);
      at = end;
    }
  }

  // Behind a candidate's URL: past its descriptors and the "," that ends them.
  static size_t SkipDescriptors(std::string_view set, size_t at) {
    bool inParentheses = false;
    for (; at < set.size(); ++at) {
      const char c = set[at];
      if (c == '(') inParentheses = true;
      else if (c == ')') inParentheses = false;
      else if (c == ',' && !inParentheses) return at + 1;
    }
    return at;
  }

  // An anchor whose text is wanted is told when it ends, and the links inside it after it.
  void Found(std::string_view href, LinkKind kind) {
    if (hrefs_ != nullptr) {
      hrefs_->Found(href, token_.offset, kind);
      return;
    }
    const bool anchor = kind == LinkKind::kHyperlink && token_.name == "a";
    LinkInfo& link = anchor ? anchor_ : anchorOpen_ ? inside_.emplace_back() : link_;
    link.href.assign(href);
    link.offset = token_.offset;
    link.kind = kind;
    if (!anchor) {
      if (!anchorOpen_) (*sink_)(link);
      return;
    }
    anchor_.text.clear();
    const std::string* title = token_.Attribute("title");
    anchor_.title = title != nullptr ? *title : std::string();
    anchorOpen_ = true;
  }

  void AddText() { if (!token_.rawText) anchor_.text += TrimView(token_.text, " \t\n\r"); }

  void EndAnchor() {
    if (!anchorOpen_) return;
    anchorOpen_ = false;
    (*sink_)(anchor_);
    for (const LinkInfo& link : inside_) (*sink_)(link);
    inside_.clear();
  }

  HtmlTokenizer tokenizer_;
  const LinkSink* sink_;
  HrefSink* hrefs_;
  HtmlToken token_;
  LinkInfo anchor_;  // the anchor open, told when it ends
  bool anchorOpen_ = false;
  std::vector<LinkInfo> inside_;  // the other links found while it is open
  LinkInfo link_;    // serves link after link
  std::optional<std::string> base_;
};

// Hands hrefs on as whole links.
class HrefsAsLinks final : public HrefSink {
 public:
  explicit HrefsAsLinks(const LinkSink& sink) : sink_(sink) {}
  void Found(std::string_view href, int64_t offset, LinkKind kind) override {
    link_.href.assign(href);
    link_.offset = offset;
    link_.kind = kind;
    sink_(link_);
  }

 private:
  const LinkSink& sink_;
  LinkInfo link_;
};

}  // namespace

std::optional<std::string> ExtractHrefs(std::string_view page, HrefSink& sink) {
  return LinkReader(page, nullptr, &sink).Read();
}

std::optional<std::string> ExtractLinks(std::string_view page, const LinkSink& sink, AnchorDetail detail) {
  if (detail == AnchorDetail::kWithTitleAndText) return LinkReader(page, &sink, nullptr).Read();
  HrefsAsLinks hrefs(sink);
  return ExtractHrefs(page, hrefs);
}

std::optional<std::string> ExtractLinks(std::string_view page, std::vector<LinkInfo>& links, AnchorDetail detail) {
  return ExtractLinks(page, [&](const LinkInfo& link) { links.push_back(link); }, detail);
}

void ExtractFragmentTargets(std::string_view page, std::vector<std::string>& names) {
  HtmlTokenizer tokenizer(page);
  HtmlToken token;
  while (tokenizer.Next(token)) {
    if (token.kind != HtmlToken::Kind::kStartTag) continue;
    if (const std::string* id = token.Attribute("id")) names.push_back(*id);
    const std::string* name = token.name == "a" ? token.Attribute("name") : nullptr;
    if (name != nullptr) names.push_back(*name);
  }
}
