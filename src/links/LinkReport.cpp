#include "links/LinkReport.h"

#include "common/Escape.h"

std::string LinkReportText(LinkCountTable& table, const std::string& lineEnd) {
  SortLinkCounts(table);
  std::string text;
  for (const LinkCountEntry& entry : table.Entries()) {
    // A key holding a line end or another control character (from an href or an entity)
    // would forge report lines, or drive a terminal.
    text += EscapedLine(entry.key) + " [" + std::to_string(entry.count) + "]" + lineEnd;
  }
  return text;
}
