#pragma once
#include <string>
#include <vector>

#include "common/RunSettings.h"
#include "links/LinkCountTable.h"

// What each macro of MacroTable() gives in a run, for the macro menus. Each list is
// parallel to MacroTable(), or empty when there was nothing to expand it for.
struct MacroExamples {
  std::vector<std::string> start;   // in the Start and End templates
  std::vector<std::string> folder;  // in the Folder template, for the start folder itself
  std::vector<std::string> file;    // in the File template, for the first file listed in it
  std::string firstFile;            // that file's path; empty when none
};

// Expands every macro with the engine of a run of `settings`, `linkCounts` being the counts
// of the last crawl (may be empty). Lists the start folder only: no crawl, nothing written,
// quick on any tree. All lists are empty when the start folder is missing.
MacroExamples ExpandMacroExamples(const RunSettings& settings, const LinkCountTable& linkCounts);
