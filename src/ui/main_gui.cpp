#include <QApplication>
#include <string>
#include <vector>

#include "app/BatchRunner.h"
#include "app/CommandLine.h"
#include "app/Folioscribe.h"
#include "log/TraceScope.h"
#include "platform/Memory.h"
#include "platform/Program.h"
#include "ui/FolioscribeDlg.h"
#include "ui/UiPrompts.h"

namespace {

bool DisplayReachable() {
  return !EnvironmentValue("DISPLAY").empty() || !EnvironmentValue("WAYLAND_DISPLAY").empty();
}

}  // namespace

int main(int argc, char** argv) {
  ReadyMemoryPool();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const StartupRequest startup = ReadStartupRequest(ParseCommandLine(args));
  // A batch run never opens a window, display or not: a job started from a desktop session
  // or under Xvfb must end by itself with its messages on standard error.
  if (startup.NeedsNoDialog() || !DisplayReachable())
    return RunHeadlessOnConsole(args);

  QApplication application(argc, argv);
  StartLog(ProgramPath(), startup.logDetail);
  TraceScope scope("CFolioscribeApp::InitInstance()");
  CFolioscribeApp app;
  QtPrompts prompts;
  if (!startup.missingProfileMessage.empty())
    prompts.Message(nullptr, QString::fromStdString(startup.missingProfileMessage));

  CFolioscribeDlg dialog(app, prompts, startup);
  dialog.OnInitDialog();
  dialog.exec();
  return kExitWritten;
}
