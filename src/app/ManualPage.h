#pragma once
#include <string>

// The help page `page` (HTML) with its generated parts filled in from the program's own
// tables, so the manual cannot drift from them: "<!-- macro table -->", "<!-- filter
// table -->" and "<!-- option list -->" are each replaced by the table of that name.
std::string FillManualPage(std::string page);
