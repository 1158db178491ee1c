#include "app/BatchRunner.h"

#include <chrono>

#include "app/CommandLine.h"
#include "app/Folioscribe.h"
#include "app/GenerationRun.h"
#include "app/OptionTable.h"
#include "app/PrintingCommands.h"
#include "app/SiteCheckRun.h"
#include "common/Maker.h"
#include "links/LinkReport.h"
#include "links/SiteCheckReport.h"
#include "log/TraceScope.h"
#include "platform/Messages.h"
#include "platform/Program.h"
#include "profile/Profile.h"

namespace {

// Loads what the command line names into `app`; false when the program cannot go on.
bool PrepareRun(const StartupRequest& request, CFolioscribeApp& app, MessageSink& messages) {
  if (!request.missingProfileMessage.empty()) {
    // Without a display the "Select profile" chooser cannot stand in.
    messages.ShowMessage(request.missingProfileMessage);
    return false;
  }
  if (!request.justDoIt && !request.dryRun && !request.check) {
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

// Prints the findings to `out` and the summary to `err`; the exit status: faults found or
// not (orphans count only when strict).
int RunSiteCheck(const StartupRequest& request, const RunSettings& settings, std::ostream& out,
                 std::ostream& err, MessageSink& messages) {
  const auto start = std::chrono::steady_clock::now();
  const SiteCheckOutcome outcome = CheckSite(settings, request.checkAnchors, messages);
  if (!outcome.started) return kExitCannotStart;
  bool faulty = false;
  for (const SiteFinding& finding : outcome.findings) {
    out << (request.format == "json" ? FindingJson(finding) : FindingText(finding));
    faulty = faulty || request.strict || finding.kind != SiteFinding::Kind::kOrphan;
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (!request.quiet) err << "folioscribe: " << SiteCheckSummary(outcome, seconds.count()) << "\n";
  return faulty ? kExitRunFailed : kExitWritten;
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
  const MapDestination destination{request.MapToStandardOutput() ? &out : nullptr,
                                   request.dryRun};
  const RunResult result = DoGenerationRun(app, messages, destination);
  for (const std::string& warning : result.warnings) err << "folioscribe: warning: " << warning << "\n";
  // A partial map fails a strict run, though it is written.
  const bool partialFails = request.strict && !result.warnings.empty();
  if (request.dryRun && result.walked) {
    out << result.entryCount << " entries would go to " << result.outputPath << "\n";
    return partialFails ? kExitRunFailed : kExitWritten;
  }
  if (result.written && !request.quiet && !request.MapToStandardOutput())
    err << "folioscribe: wrote " << result.outputPath << "\n";
  // Standard output carries one thing only, so scripts can read it as it is.
  std::ostream& reportStream = request.MapToStandardOutput() ? err : out;
  if (request.report) reportStream << LinkReportText(app.linkCounts, "\n");
  return result.written && !partialFails ? kExitWritten : kExitRunFailed;
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
    err << "folioscribe: " << request.usageError
        << "\nTry 'folioscribe --help' for more information.\n";
    return kExitCannotStart;
  }
  if (request.listProfiles) return ListProfiles(out);
  if (request.traceViewer) return RunTraceViewer(out, err, request.quiet);
  StartLog(ProgramPath(), request.logDetail);
  TraceScope scope("CFolioscribeApp::InitInstance()");
  return RunOnce(request, out, err);
}
