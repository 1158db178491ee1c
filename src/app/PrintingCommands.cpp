#include "app/PrintingCommands.h"

#include <algorithm>

#include "app/BatchRunner.h"
#include "common/Text.h"
#include "platform/TraceSocket.h"
#include "profile/Profile.h"

int ListProfiles(std::ostream& out) {
  const std::vector<ProfileFile> profiles = FindProfileFiles();
  size_t width = 0;
  for (const ProfileFile& profile : profiles) width = std::max(width, profile.name.size());
  for (const ProfileFile& profile : profiles)
    out << profile.name << std::string(width - profile.name.size() + 2, ' ') << profile.path << "\n";
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
  while (const auto line = listener.NextLine()) {
    const std::string text = UnixLineEnds(*line);
    out << text << (text.ends_with('\n') ? "" : "\n") << std::flush;
  }
  return kExitWritten;
}
