#pragma once
#include <string>
#include <vector>

#include "links/SiteCheck.h"

// The findings of a check grouped by what they miss, most linked first, one line a target:
// "whatsnew/changelog.html: missing, linked 1,448 times from 530 pages (first:
// index.html:12)", "https://example.org/old: 404 Not Found, linked 2 times from 2 pages
// (first: news.html:3)", then one line for the orphans. `findings` sorted by page and line, as
// SiteCheck::Finish gives them; empty text when there are none.
std::string FindingSummaryText(const std::vector<SiteFinding>& findings);
