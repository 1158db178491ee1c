#include "app/BatchRunner.h"

#include "app/CommandLine.h"
#include "app/Folioscribe.h"
#include "app/GenerationRun.h"
#include "common/Maker.h"
#include "links/LinkReport.h"
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
  if (!request.justDoIt) {
    messages.ShowMessage("The dialog needs a display (and a build with Qt); "
                         "add -justdoit to make the site map without it");
    return false;
  }
  if (!request.profilePath.empty() && !LoadProfile(request.profilePath, app.settings, messages))
    return false;
  if (!request.folder.empty()) app.settings.sStartDirectoryPath = request.folder;
  return true;
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
  if (!request.unknownFlag.empty()) {
    err << "folioscribe: unknown option -" << request.unknownFlag << "\n\n" << UsageText();
    return kExitCannotStart;
  }
  SwitchLogOffForNetworkStart(ProgramPath());
  TraceScope scope("CFolioscribeApp::InitInstance()");
  ConsoleMessageSink messages(err);
  CFolioscribeApp app;
  if (!PrepareRun(request, app, messages)) return kExitCannotStart;

  const RunResult result = DoGenerationRun(app, messages);
  // Standard output carries only the report, so scripts can read it as it is.
  if (result.written) err << "folioscribe: wrote " << result.outputPath << "\n";
  if (request.report) out << LinkReportText(app.linkCounts, "\n");
  return result.written ? kExitWritten : kExitRunFailed;
}
