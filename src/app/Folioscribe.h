#pragma once
#include <string>

#include "common/RunSettings.h"
#include "links/LinkCountTable.h"

// The state the dialog and the batch runner share for the life of the program: the
// settings, the link counts of the last run (kept for the report) and the run context.
class CFolioscribeApp {
 public:
  RunSettings settings;
  LinkCountTable linkCounts;
  RunContext runContext;
};

// A program started from a network share ("\\server\...") writes no diagnostics log.
void SwitchLogOffForNetworkStart(const std::string& programPath);
