#include "app/BatchRunner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "app/CommandLine.h"
#include "app/Folioscribe.h"
#include "app/GenerationRun.h"
#include "app/OptionTable.h"
#include "app/PrintingCommands.h"
#include "app/ProgressLine.h"
#include "app/SiteCheckRun.h"
#include "common/Escape.h"
#include "common/Maker.h"
#include "links/FindingSummary.h"
#include "links/LinkReport.h"
#include "links/SiteCheckReport.h"
#include "log/TraceScope.h"
#include "platform/Messages.h"
#include "platform/Program.h"
#include "platform/StandardOutput.h"
#include "profile/Profile.h"
#include "sitemap/MapParts.h"

namespace {

// Loads what the command line names into `app`; false when the program cannot go on.
bool PrepareRun(const StartupRequest& request, CFolioscribeApp& app, MessageSink& messages) {
  if (!request.missingProfileMessage.empty()) {
    // Without a display the "Select profile" chooser cannot stand in.
    messages.ShowMessage(request.missingProfileMessage);
    return false;
  }
  if (!request.justDoIt && !request.dryRun && !request.check && !request.robots) {
    messages.ShowMessage("The dialog needs a display (and a build with Qt); "
                         "add -justdoit to make the site map without it");
    return false;
  }
  if (!request.profilePath.empty() && !LoadProfile(request.profilePath, app.settings, messages))
    return false;
  app.profilePath = request.profilePath;
  if (!request.folder.empty()) app.settings.sStartDirectoryPath = request.folder;
  ApplyCommandLineSettings(request, app.settings);
  return true;
}

// Prints the findings to `out` as the format asks: a line each (text, then the targets
// grouped on `err`), a JSON object each, or the groups alone. Then the counts to `err`.
void PrintFindings(const StartupRequest& request, const std::vector<SiteFinding>& findings,
                   std::ostream& out, std::ostream& err) {
  if (request.format == "summary") {
    out << FindingSummaryText(findings);
    return;
  }
  const bool json = request.format == "json";
  for (const SiteFinding& finding : findings)
    out << (json ? FindingJson(finding) : FindingText(finding));
  // The lines stay on standard output, for editors and scripts; the groups are for people.
  if (!json && !request.quiet) err << FindingSummaryText(findings);
}

// The exit status: faults found or not (orphans count only when strict).
int RunSiteCheck(const StartupRequest& request, const RunSettings& settings, std::ostream& out,
                 std::ostream& err, MessageSink& messages) {
  const auto start = std::chrono::steady_clock::now();
  const std::string patternProblem = ExcludeUrlProblem(settings.aExcludeUrls);
  if (!patternProblem.empty()) {
    messages.ShowMessage("ExcludeUrls of the profile: " + patternProblem);
    return kExitCannotStart;
  }
  std::optional<ExternalCheckSettings> external;
  if (settings.bCheckExternal)
    external = ExternalSettingsForRun(request.external, settings.aExcludeUrls, settings.sDomain);
  SiteCheckOutcome outcome;
  {
    RunControl control;
    ProgressLine progress = BatchProgressLine(err, request.quiet);
    progress.Follow(control);
    outcome = CheckSite(settings, request.checkAnchors, external ? &*external : nullptr, messages,
                        &control);
  }
  if (!outcome.started) return kExitCannotStart;
  out.flush();
  PrintFindings(request, outcome.findings, out, err);
  const bool faulty = std::any_of(
      outcome.findings.begin(), outcome.findings.end(), [&request](const SiteFinding& finding) {
        return request.strict || !IsWarning(finding.kind);
      });
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (!request.quiet) err << "folioscribe: " << SiteCheckSummary(outcome, seconds.count()) << "\n";
  return faulty ? kExitRunFailed : kExitWritten;
}

// Runs the map with the progress line on standard error while it goes.
RunResult RunMap(const StartupRequest& request, CFolioscribeApp& app, MessageSink& messages,
                 std::ostream& out, std::ostream& err) {
  const MapDestination destination{request.MapToStandardOutput() ? &out : nullptr,
                                   request.dryRun};
  RunControl control;
  ProgressLine progress = BatchProgressLine(err, request.quiet);
  progress.Follow(control);
  return DoGenerationRun(app, messages, destination, &control);
}

// Prints the robots.txt line of the map to `out`; false, saying why, when the map has no
// address on the site.
bool PrintRobotsLine(const RunSettings& settings, std::ostream& out, MessageSink& messages) {
  if (settings.sDomain.empty()) {
    messages.ShowMessage("no Sitemap line: the profile gives no domain; add --domain=URL");
    return false;
  }
  const std::string url = MapAddress(settings);
  if (url.empty()) {
    messages.ShowMessage("no Sitemap line: the map lies outside the start folder, so it has "
                         "no address on the site");
    return false;
  }
  out << "Sitemap: " << url << "\n";
  return true;
}

// " (the index of 3 parts: /m/sitemap-1.xml to /m/sitemap-3.xml)" for a split map.
std::string PartsNote(const RunResult& result) {
  if (result.partCount <= 1) return "";
  return " (the index of " + std::to_string(result.partCount) + " parts: " +
         MapPartPath(result.outputPath, 1) + " to " +
         MapPartPath(result.outputPath, result.partCount) + ")";
}

// "timings: parsed 530 pages in 0.081 s, walk 0.020 s, map 0.010 s", for --timings.
std::string TimingsText(const RunTimes& times) {
  char text[160];
  std::snprintf(text, sizeof text, "timings: parsed %lld pages in %.3f s, walk %.3f s, map %.3f s",
                static_cast<long long>(times.pagesParsed), times.parseSeconds, times.walkSeconds,
                times.mapSeconds);
  return text;
}

int RunOnce(const StartupRequest& request, std::ostream& out, std::ostream& err) {
  ConsoleMessageSink messages(err);
  CFolioscribeApp app;
  if (!PrepareRun(request, app, messages)) return kExitCannotStart;
  if (app.settings.sStartDirectoryPath.empty()) {
    messages.ShowMessage("no start folder: give one on the command line or in the profile");
    return request.check ? kExitCannotStart : kExitRunFailed;
  }
  if (request.check) return RunSiteCheck(request, app.settings, out, err, messages);
  if (request.robots && !request.justDoIt && !request.dryRun)
    return PrintRobotsLine(app.settings, out, messages) ? kExitWritten : kExitRunFailed;
  const RunResult result = RunMap(request, app, messages, out, err);
  for (const std::string& warning : result.warnings)
    err << "folioscribe: warning: " << EscapedLine(warning) << "\n";
  // A partial map fails a strict run, though it is written.
  const bool partialFails = request.strict && !result.warnings.empty();
  const bool dryRunWalked = request.dryRun && result.walked;
  if (dryRunWalked)
    out << result.entryCount << " entries would go to "
        << EscapedLine(result.outputPath + PartsNote(result)) << "\n";
  else if (result.written && !request.quiet && !request.MapToStandardOutput())
    err << "folioscribe: wrote " << EscapedLine(result.outputPath + PartsNote(result)) << "\n";
  if (request.timings && result.walked) err << "folioscribe: " << TimingsText(result.times) << "\n";
  const bool robotsFail = request.robots && (result.written || dryRunWalked) &&
                          !PrintRobotsLine(app.settings, out, messages);
  if (dryRunWalked) return partialFails || robotsFail ? kExitRunFailed : kExitWritten;
  // Standard output carries one thing only, so scripts can read it as it is.
  std::ostream& reportStream = request.MapToStandardOutput() ? err : out;
  if (request.report && !CountsLinks(app.settings))
    err << "folioscribe: --report: the link counter is off in this profile, so nothing was "
           "counted; add --count-links\n";
  else if (request.report)
    reportStream << LinkReportText(app.linkCounts, "\n");
  return result.written && !partialFails && !robotsFail ? kExitWritten : kExitRunFailed;
}

}  // namespace

int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const StartupRequest request = ReadStartupRequest(ParseCommandLine(args));
  if (request.help) {
    out << UsageText();
    return kExitWritten;
  }
  if (request.version) {
    out << kProgramVersion << "\n";
    return kExitWritten;
  }
  if (!request.usageError.empty()) {
    err << "folioscribe: " << EscapedLine(request.usageError)
        << "\nTry 'folioscribe --help' for more information.\n";
    return kExitCannotStart;
  }
  if (request.listProfiles) return ListProfiles(out);
  if (request.traceViewer) return RunTraceViewer(out, err, request.quiet);
  StartLog(ProgramPath(), request.logDetail);
  TraceScope scope("CFolioscribeApp::InitInstance()");
  return RunOnce(request, out, err);
}

int RunHeadlessOnConsole(const std::vector<std::string>& args) {
  StandardOutputBuffer buffer;
  std::ostream out(&buffer);
  const int status = RunHeadless(args, out, std::cerr);
  const std::string problem = buffer.Problem();
  if (problem.empty()) return status;
  std::cerr << "folioscribe: couldn't write to standard output: " << problem << "\n";
  return kExitRunFailed;
}
