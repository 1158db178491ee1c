#pragma once
#include <string>

#include "links/LinkCountTable.h"

// Sorts the table and lists it, one "key [count]" line per entry, each ended by `lineEnd`
// ("\r\n" in the dialog, "\n" on standard output).
std::string LinkReportText(LinkCountTable& table, const std::string& lineEnd);
