#pragma once
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
