#pragma once
#include <string>
#include <vector>

#include "common/RunSettings.h"
#include "platform/Messages.h"

// The user's own profiles: the "Profiles" folder beside the program when it is there
// (portable), else $XDG_CONFIG_HOME/folioscribe/profiles.
std::string ProfilesFolder();
// The folders a bare profile name is looked up in, in order: the user's, then the
// installed samples (read-only) unless portable.
std::vector<std::string> ProfileFolders();
// Where the "Select profile" chooser opens: the first profile folder holding anything.
std::string ProfileChooserFolder();
// ProfilesFolder(), created when missing, for saving into.
std::string ProfileSaveFolder();
// A name from the command line as a path: a name without "/" is looked up in the
// ProfileFolders() (the first when none holds it), and a name without extension gets
// ".folioscribe_options".
std::string ResolveProfilePath(const std::string& name);

struct ProfileFile {
  std::string name;  // without the extension
  std::string path;
};
// The profiles of the ProfileFolders(), folder by folder, each by name.
std::vector<ProfileFile> FindProfileFiles();

// Reads the profile at `path` into `settings`. A missing file shows
// "Profile file: <path> does not exists" and leaves `settings` untouched (returns false).
bool LoadProfile(const std::string& path, RunSettings& settings, MessageSink& messages);
// Writes every key of `settings` into `path` (".folioscribe_options" added when it has no
// extension), keeping other keys and sections of an existing file. A failed write shows
// "Couldn't write profile file:<path>" and returns false.
bool SaveProfileAs(const std::string& path, const RunSettings& settings, MessageSink& messages);
