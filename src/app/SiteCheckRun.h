#pragma once
#include <optional>
#include <string>
#include <vector>

#include "common/RunControl.h"
#include "common/RunSettings.h"
#include "links/ExternalCheck.h"
#include "links/SiteCheck.h"
#include "platform/Messages.h"

struct SiteCheckOutcome {
  bool started = false;  // the start folder could be checked
  std::vector<SiteFinding> findings;
  SiteCheckCounts counts;
  std::optional<ExternalCheckCounts> external;  // when outside links were checked
};

// Checks the site of `settings`: crawls from the start page as the link counter does and
// walks the folder tree with the map's selection; writes nothing. Outside links are
// checked with `external` when given, while the crawl goes on. A start folder that is
// missing is told to `messages`; `control`, when given, hears of the crawl's progress.
SiteCheckOutcome CheckSite(const RunSettings& settings, bool checkAnchors,
                           const ExternalCheckSettings* external, MessageSink& messages,
                           RunControl* control = nullptr);

// Whether outside links can be requested (libcurl, loaded by the first call, is there);
// when not, `messages` and the log are told, and the run goes on without them.
bool CanCheckExternal(MessageSink& messages);

// The outside links' findings added to `findings`, all in report order.
void AddExternalFindings(ExternalCheck& external, std::vector<SiteFinding>& findings);

// The last line of a check: what was read and found, and `seconds`.
std::string SiteCheckSummary(const SiteCheckOutcome& outcome, double seconds);
