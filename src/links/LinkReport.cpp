#include "links/LinkReport.h"

namespace {

// A key holding a line end or another control character (from an href or an entity) would
// forge report lines, or drive a terminal. The backslash is escaped too, so every escape
// reads back one way.
void AppendEscaped(std::string& text, const std::string& key) {
  static const char kHex[] = "0123456789abcdef";
  for (const char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') text += "\\\\";
    else if (c == '\n') text += "\\n";
    else if (c == '\r') text += "\\r";
    else if (c == '\t') text += "\\t";
    else if (byte < 0x20 || byte == 0x7f) text.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
    else text += c;
  }
}

}  // namespace

std::string LinkReportText(LinkCountTable& table, const std::string& lineEnd) {
  SortLinkCounts(table);
  std::string text;
  for (const LinkCountEntry& entry : table.Entries()) {
    AppendEscaped(text, entry.key);
    text += " [" + std::to_string(entry.count) + "]" + lineEnd;
  }
  return text;
}
