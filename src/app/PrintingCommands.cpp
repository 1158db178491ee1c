#include "app/PrintingCommands.h"

#include <algorithm>

#include "app/BatchRunner.h"
#include "common/Escape.h"
#include "common/Text.h"
#include "platform/TraceSocket.h"
#include "profile/Profile.h"

int ListProfiles(std::ostream& out) {
  std::vector<ProfileFile> profiles = FindProfileFiles();
  size_t width = 0;
  for (ProfileFile& profile : profiles) {
    profile.name = EscapedLine(profile.name);
    width = std::max(width, profile.name.size());
  }
  for (const ProfileFile& profile : profiles)
    out << profile.name << std::string(width - profile.name.size() + 2, ' ')
        << EscapedLine(profile.path) << "\n";
  return kExitWritten;
}

int RunTraceViewer(std::ostream& out, std::ostream& err, bool quiet) {
  TraceListener listener;
  std::string problem;
  if (!listener.Listen(problem)) {
    err << "folioscribe: " << problem << "\n";
    return kExitCannotStart;
  }
  if (!quiet) err << "folioscribe: showing the log lines sent to " << TraceSocketPath() << "\n";
  // A reader that went away ends the viewer.
  while (out) {
    const auto line = listener.NextLine();
    if (!line) break;
    // The program's lines come escaped; a line from anything else that sends there is
    // escaped here, so it cannot drive the terminal either.
    std::string text = UnixLineEnds(*line);
    if (text.ends_with('\n')) text.pop_back();
    out << (IsSafeLine(text) ? text : EscapedLine(text)) << "\n" << std::flush;
  }
  return kExitWritten;
}
