#include "links/RobotsMeta.h"

#include "common/Text.h"
#include "links/HtmlTokenizer.h"
#include "links/PageTitle.h"

namespace {

bool ForbidsIndexing(std::string_view content) {
  constexpr std::string_view kSeparators = ", \t\r\n";
  for (size_t start = 0; start < content.size();) {
    const size_t end = std::min(content.find_first_of(kSeparators, start), content.size());
    const std::string_view word = content.substr(start, end - start);
    if (EqualsNoCase(word, "noindex") || EqualsNoCase(word, "none")) return true;
    start = end + 1;
  }
  return false;
}

bool IsRobotsMeta(const HtmlToken& meta) {
  const std::string* name = meta.Attribute("name");
  if (name == nullptr) return false;
  const std::string_view trimmed = TrimView(*name);
  return EqualsNoCase(trimmed, "robots") || EqualsNoCase(trimmed, "googlebot");
}

}  // namespace

bool IsMarkedNoindex(std::string_view page) {
  HtmlTokenizer tokenizer(page);
  HtmlToken token;
  while (tokenizer.Next(token) && !EndsHead(token)) {
    if (token.kind != HtmlToken::Kind::kStartTag || token.name != "meta") continue;
    const std::string* content = token.Attribute("content");
    if (content != nullptr && IsRobotsMeta(token) && ForbidsIndexing(*content)) return true;
  }
  return false;
}

bool IsPageMarkedNoindex(const std::string& path) { return IsMarkedNoindex(ReadTextFile(path)); }
