#pragma once
#include <string>

#include "links/SiteCheck.h"

// One finding as a line for people: "PAGE:LINE: broken link \"HREF\" (TARGET does not
// exist)", "PAGE:LINE: missing anchor \"HREF\"", "orphan: PATH", "PAGE:LINE: broken
// external link \"HREF\" (404 Not Found)", "PAGE:LINE: redirected \"HREF\" to \"URL\"" or
// "PAGE:LINE: bad mail link \"HREF\"", ended by a line feed.
std::string FindingText(const SiteFinding& finding);
// Why an outside link failed: "404 Not Found", "host not found".
std::string ExternalProblem(const SiteFinding& finding);
// The same as one JSON object on a line: kind, page, line, href, and target for a local
// link or status, reason, url and final_url for an outside one (an orphan has kind and
// page only).
std::string FindingJson(const SiteFinding& finding);
