#pragma once
#include <string>
#include <vector>

#include "common/RunSettings.h"
#include "links/LinkCountTable.h"
#include "links/SiteCheck.h"
#include "log/TraceLog.h"

// The state the dialog and the batch runner share for the life of the program: the
// settings and their profile, the link counts and findings of the last run (kept for the
// report) and the run context.
class CFolioscribeApp {
 public:
  RunSettings settings;
  std::string profilePath;  // the profile the settings came from; a run never writes over it
  LinkCountTable linkCounts;
  RunContext runContext;
  // Runs with the link counter on also find broken links and orphans when set; the dialog
  // shows them, batch runs spare the cost.
  bool checkOnRuns = false;
  std::vector<SiteFinding> findings;
};

// The diagnostics log keeps `detail`; a program started from a network share
// ("\\server\...") writes none.
void StartLog(const std::string& programPath, LogDetail detail);
