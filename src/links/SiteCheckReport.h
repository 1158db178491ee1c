#pragma once
#include <string>

#include "links/SiteCheck.h"

// One finding as a line for people: "PAGE:LINE: broken link \"HREF\" (TARGET does not
// exist)", "PAGE:LINE: missing anchor \"HREF\"" or "orphan: PATH", ended by a line feed.
std::string FindingText(const SiteFinding& finding);
// The same as one JSON object on a line: kind, page, line, href, target (an orphan has kind
// and page only).
std::string FindingJson(const SiteFinding& finding);
