#pragma once
#include <string>

#include "links/LinkCountTable.h"

// Sorts the table and lists it, one "key [count]" line per entry, each ended by `lineEnd`
// ("\r\n" in the dialog, "\n" on standard output). In a key, "\" is written "\\", a tab,
// line feed or carriage return "\t", "\n", "\r", any other control character "\xhh".
std::string LinkReportText(LinkCountTable& table, const std::string& lineEnd);
