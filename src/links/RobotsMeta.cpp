#include "links/RobotsMeta.h"

#include "common/Text.h"
#include "links/EXmlBasics.h"
#include "links/PageCharset.h"
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

bool IsRobotsMeta(const AttributeMap& attributes) {
  const std::string* name = attributes.FindNoCase("name");
  if (name == nullptr) return false;
  const std::string_view trimmed = TrimView(*name);
  return EqualsNoCase(trimmed, "robots") || EqualsNoCase(trimmed, "googlebot");
}

}  // namespace

bool IsMarkedNoindex(std::string_view page) {
  const std::string_view head = PageHead(page);
  AttributeMap attributes;
  for (int64_t at = FindNoCase(head, "<meta"); at >= 0; at = FindNoCase(head, "<meta", at + 1)) {
    XmlCursor cursor(head);
    cursor.pos = at + 5;
    attributes.Clear();
    ReadAttributeMap(cursor, attributes, true);
    const std::string* content = attributes.FindNoCase("content");
    if (content && IsRobotsMeta(attributes) && ForbidsIndexing(*content)) return true;
  }
  return false;
}

bool IsPageMarkedNoindex(const std::string& path) { return IsMarkedNoindex(ReadTextFile(path)); }
