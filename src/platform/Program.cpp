#include "platform/Program.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "common/Paths.h"

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

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}
