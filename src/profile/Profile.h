#pragma once
#include <string>

#include "common/RunSettings.h"
#include "platform/Messages.h"

// The extension of profile files, with its dot.
inline constexpr const char* kProfileExtension = ".folioscribe_options";

// The "Profiles" folder beside the executable.
std::string ProfilesFolder();

// Reads the profile at `path` into `settings`. A missing file shows
// "Profile file: <path> does not exists" and leaves `settings` untouched (returns false).
bool LoadProfile(const std::string& path, RunSettings& settings, MessageSink& messages);
// Writes all fourteen keys into `path`, keeping other keys and sections of an existing file.
// A failed write shows "Couldn't write profile file:<path>" and returns false.
bool SaveProfileAs(const std::string& path, const RunSettings& settings, MessageSink& messages);
