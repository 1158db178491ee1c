#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Whether `tool` runs here: found on PATH.
inline bool ToolInstalled(const std::string& tool) {
  return std::system(("command -v '" + tool + "' >/dev/null 2>&1").c_str()) == 0;
}

// Whether this is a CI run (CI=true), where scripts/install-deps has installed every tool.
inline bool RunningUnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

// Skips the test when `tool` is missing, saying why; under CI a missing tool fails it, so
// the checks against other programs are never skipped unseen there.
#define SKIP_WITHOUT_TOOL(tool)                                                       \
  do {                                                                                \
    if (ToolInstalled(tool)) break;                                                   \
    if (RunningUnderCi()) FAIL() << (tool) << " is not installed, and CI runs this test"; \
    GTEST_SKIP() << (tool) << " is not installed";                                    \
  } while (false)
