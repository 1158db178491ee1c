#pragma once
#include <string>

#include "app/Folioscribe.h"
#include "platform/Messages.h"

struct RunResult {
  bool written = false;     // the output file holds the new site map
  std::string outputPath;   // where it was (or would have been) written
};

// One generation run on `app.settings` (not changed; the start folder is normalised in a
// copy): checks the start folder, deletes the old output, counts links when asked, writes
// the site map. Messages the user must see go to `messages`.
RunResult DoGenerationRun(CFolioscribeApp& app, MessageSink& messages);
