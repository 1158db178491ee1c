#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/ExternalOptions.h"
#include "common/RunSettings.h"
#include "log/TraceLog.h"

// The command line read against the option table: each option under its long name with
// its value ("TRUE" for a switch), the plain words, and the first usage problem.
class CCommandLineOptions {
 public:
  // The value of option `name` (long name, case ignored); a repeated option gives its last.
  bool FindOption(const std::string& name, std::string& value) const;
  std::string GetOptionValue(const std::string& name) const;
  // Every value of a repeatable option, in order.
  std::vector<std::string> Values(const std::string& name) const;
  const std::vector<std::string>& PlainWords() const { return plainWords_; }
  // The first problem ("unknown option --porfile; did you mean --profile?"); empty if none.
  const std::string& Problem() const { return problem_; }
  // The batch flag as typed ("/justdoit"), for messages about its value.
  const std::string& BatchFlagAsTyped() const { return batchFlagAsTyped_; }

  // Filled by ParseCommandLine.
  void AddOption(const std::string& name, const std::string& value);
  void AddPlainWord(const std::string& word) { plainWords_.push_back(word); }
  void SetProblem(const std::string& problem);  // keeps the first
  void SetBatchFlagAsTyped(const std::string& typed) { batchFlagAsTyped_ = typed; }

 private:
  std::vector<std::string> plainWords_;
  std::vector<std::pair<std::string, std::string>> options_;  // in command-line order
  std::string problem_;
  std::string batchFlagAsTyped_;
};

// Parses argv[1..]. "-x", "--x" and "--x=value" are options, "/x" too when it could not be
// a path (no further "/" before any "=", nothing of that name on disk); "-" is a plain
// word; after "--" every word is plain.
CCommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// What start-up takes from the command line.
struct StartupRequest {
  std::string profilePath;   // resolved; empty when none was named or it does not exist
  std::string missingProfileMessage;  // "Profile: <v> does not exist" when named but missing
  std::string folder;        // first plain word (checked by the front end)
  bool justDoIt = false;     // "justdoit" has the value "TRUE"
  bool dryRun = false;
  bool report = false;       // print the link report after a batch run
  bool countLinks = false;   // the link counter is on for this run, whatever the profile says
  bool robots = false;       // print the robots.txt line of the map
  bool quiet = false;        // no informational lines
  bool timings = false;      // print how long the steps of the run took
  bool help = false;
  bool version = false;
  bool listProfiles = false;
  bool traceViewer = false;
  bool check = false;        // check the site instead of making the map
  bool checkAnchors = false; // the site check also looks up "#fragment" targets
  ExternalRequest external;  // the check of outside links
  std::string format;        // of the findings: "text" (or empty), "json" or "summary"
  bool strict = false;       // orphans count as faults for the exit status, and a partial
                             // map (something unreadable) fails the run
  std::string outputPath;    // "-o": absolute, or "-" for standard output; empty when not given
  std::optional<std::string> domain;
  std::vector<std::string> excludePatterns;  // added after the profile's patterns
  LogDetail logDetail = LogDetail::kFull;
  int jobs = 0;              // threads reading pages; 0 when not given (one per core)
  std::string usageError;    // why the command line cannot be followed; empty when it can

  // Runs without the dialog: a batch run, or only printing something.
  bool NeedsNoDialog() const;
  bool MapToStandardOutput() const { return outputPath == "-"; }
};
StartupRequest ReadStartupRequest(const CCommandLineOptions& options);

// Puts what the command line overrides into `settings` (after the profile is loaded).
void ApplyCommandLineSettings(const StartupRequest& request, RunSettings& settings);
