#include "links/LinkReport.h"

std::string LinkReportText(LinkCountTable& table, const std::string& lineEnd) {
  SortLinkCounts(table);
  std::string text;
  for (const LinkCountEntry& entry : table.Entries())
    text += entry.key + " [" + std::to_string(entry.count) + "]" + lineEnd;
  return text;
}
