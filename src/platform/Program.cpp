#include "platform/Program.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "common/Paths.h"
#include "platform/FileSystem.h"

std::string ProgramPath() {
  // readlink does not say when it cut the path short; grow until it fits.
  for (size_t size = 256; size <= 65536; size *= 2) {
    std::string path(size, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), size);
    if (length < 0) return "";
    if (static_cast<size_t>(length) < size) {
      path.resize(static_cast<size_t>(length));
      return path;
    }
  }
  return "";
}

std::string ProgramFolder() { return ContainingFolder(ProgramPath()); }

int64_t CurrentTime() { return static_cast<int64_t>(std::time(nullptr)); }

std::chrono::steady_clock::time_point CoarseSteadyTime() {
  // The steady clock counts CLOCK_MONOTONIC; the coarse variant reads it without the
  // hardware counter.
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return std::chrono::steady_clock::time_point(
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec)));
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

std::string CurrentFolder() {
  char* folder = getcwd(nullptr, 0);
  if (!folder) return "";
  std::string path = folder;
  free(folder);
  return path;
}

namespace {

std::string HomeFolder() {
  const std::string home = EnvironmentValue("HOME");
  if (!home.empty()) return home;
  const passwd* user = getpwuid(getuid());
  return user && user->pw_dir ? user->pw_dir : "/";
}

// An XDG base folder: the variable when it holds an absolute path, else its default.
std::string XdgFolder(const char* variable, const char* defaultBelowHome) {
  const std::string value = EnvironmentValue(variable);
  return value.rfind('/', 0) == 0 ? value : HomeFolder() + defaultBelowHome;
}

}  // namespace

DataFolders ProgramDataFolders() {
  const std::string programFolder = ProgramFolder();
  if (IsFolder(programFolder + "/Profiles"))
    return {true, programFolder + "/Profiles", "", programFolder + "/LOGS", programFolder + "/help"};
  const std::string share = ContainingFolder(programFolder) + "/share/folioscribe";
  return {false, XdgFolder("XDG_CONFIG_HOME", "/.config") + "/folioscribe/profiles",
          share + "/profiles", XdgFolder("XDG_STATE_HOME", "/.local/state") + "/folioscribe/logs",
          share + "/help"};
}

std::string UserCacheFolder() { return XdgFolder("XDG_CACHE_HOME", "/.cache") + "/folioscribe"; }
