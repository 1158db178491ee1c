#include "profile/Profile.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "common/Escape.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "profile/ProfileValues.h"

namespace {

constexpr const char* kGeneral = "GENERAL";
constexpr const char* kMoreOptions = "MORE_OPTIONS";
constexpr const char* kListSeparator = ":";

struct TextKey {
  const char* key;
  std::string RunSettings::*field;
};
struct FlagKey {
  const char* key;
  bool RunSettings::*field;
};

// The templates are the only multi-line settings, hence the only escaped ones.
const TextKey kTemplateKeys[] = {
    {"sTemplateStart", &RunSettings::sTemplateStart},
    {"sTemplateFolder", &RunSettings::sTemplateFolder},
    {"sTemplateFolderLevelDown", &RunSettings::sTemplateFolderLevelDown},
    {"sTemplateFolderLevelUp", &RunSettings::sTemplateFolderLevelUp},
    {"sTemplateFile", &RunSettings::sTemplateFile},
    {"sTemplateEnd", &RunSettings::sTemplateEnd},
};
const FlagKey kFlagKeys[] = {
    {"bIndexAsDirText", &RunSettings::bIndexAsDirText},
    {"bExcludeNotLinked", &RunSettings::bExcludeNotLinked},
    {"bUsePageRank", &RunSettings::bUsePageRank},
    {"bAddSignature", &RunSettings::bAddSignature},
};
// Written after the older keys, so files of earlier versions keep their layout.
const FlagKey kLaterFlagKeys[] = {
    {"bUseIgnoreFiles", &RunSettings::bUseIgnoreFiles},
    {"bSkipHidden", &RunSettings::bSkipHidden},
    {"bSkipEmptyFolders", &RunSettings::bSkipEmptyFolders},
    {"bCrawlOnlyKept", &RunSettings::bCrawlOnlyKept},
    {"bCleanFolderUrls", &RunSettings::bCleanFolderUrls},
    {"bSkipNoindex", &RunSettings::bSkipNoindex},
};

std::vector<std::string> SplitStoredList(const std::string& value) {
  return value.empty() ? std::vector<std::string>() : SplitList(value, kListSeparator, true);
}

// A present "Exclude" key is the whole list, however short; a missing one keeps the list.
void ReadExcludeList(const IniFile& file, std::vector<std::string>& list) {
  const std::optional<std::string> value = file.Find(kMoreOptions, "Exclude");
  if (value) list = SplitStoredList(*value);
}

// Unlike "Exclude", a missing pattern list is empty: a profile of an earlier version then
// selects what it always did, whatever profile was loaded before it.
std::vector<std::string> ReadPatternList(const IniFile& file, const char* key) {
  return SplitStoredList(ReadProfileString(file, kMoreOptions, key, ""));
}

// A positive number; anything else, or none, is `fallback`.
long long ReadPositiveNumber(const IniFile& file, const char* key, long long fallback) {
  const std::string value = ReadProfileString(file, kMoreOptions, key, "");
  char* end = nullptr;
  const long long number = std::strtoll(value.c_str(), &end, 10);
  return !value.empty() && *end == '\0' && number > 0 ? number : fallback;
}

// A profile has a GENERAL section holding at least one of the keys a save writes there.
bool IsProfile(const IniFile& file) {
  if (file.Find(kGeneral, "sStartDirectoryPath") || file.Find(kGeneral, "sOutPutFileName")) return true;
  return std::ranges::any_of(kTemplateKeys,
                             [&](const TextKey& t) { return file.Find(kGeneral, t.key).has_value(); });
}

void ReadSettings(const IniFile& file, RunSettings& settings) {
  settings.sStartDirectoryPath = ReadProfileString(file, kGeneral, "sStartDirectoryPath", "");
  settings.sOutPutFileName = ReadProfileString(file, kGeneral, "sOutPutFileName", "");
  for (const TextKey& t : kTemplateKeys)
    settings.*t.field = UnescapeProfileText(ReadProfileString(file, kGeneral, t.key, ""));
  ReadExcludeList(file, settings.aExclude);
  settings.sDomain = ReadProfileString(file, kMoreOptions, "sDomain", "");
  for (const FlagKey& f : kFlagKeys)
    settings.*f.field = ReadProfileFlag(file, kMoreOptions, f.key, false);
  settings.aPatterns = ReadPatternList(file, "Patterns");
  settings.aInclude = ReadPatternList(file, "Include");
  for (const FlagKey& f : kLaterFlagKeys)
    settings.*f.field = ReadProfileFlag(file, kMoreOptions, f.key, false);
  settings.nMaxPageBytes = ReadPositiveNumber(file, "nMaxPageBytes", kDefaultMaxPageBytes);
  settings.nSitemapPartEntries = ReadPositiveNumber(file, "nSitemapPartEntries", 0);
  settings.aExcludeUrls = SplitColonList(ReadProfileString(file, kMoreOptions, "ExcludeUrls", ""));
  settings.bCheckExternal = ReadProfileFlag(file, kMoreOptions, "bCheckExternal", false);
}

void WriteSettings(const RunSettings& settings, IniFile& file) {
  WriteProfileString(file, kGeneral, "sStartDirectoryPath", settings.sStartDirectoryPath);
  WriteProfileString(file, kGeneral, "sOutPutFileName", settings.sOutPutFileName);
  for (const TextKey& t : kTemplateKeys)
    WriteProfileString(file, kGeneral, t.key, EscapeProfileText(settings.*t.field));
  WriteProfileString(file, kMoreOptions, "Exclude", JoinList(settings.aExclude, kListSeparator));
  WriteProfileString(file, kMoreOptions, "sDomain", settings.sDomain);
  for (const FlagKey& f : kFlagKeys) WriteProfileFlag(file, kMoreOptions, f.key, settings.*f.field);
  WriteProfileString(file, kMoreOptions, "Patterns", JoinList(settings.aPatterns, kListSeparator));
  WriteProfileString(file, kMoreOptions, "Include", JoinList(settings.aInclude, kListSeparator));
  for (const FlagKey& f : kLaterFlagKeys)
    WriteProfileFlag(file, kMoreOptions, f.key, settings.*f.field);
  WriteProfileString(file, kMoreOptions, "nMaxPageBytes", std::to_string(settings.nMaxPageBytes));
  WriteProfileString(file, kMoreOptions, "nSitemapPartEntries",
                     std::to_string(settings.nSitemapPartEntries));
  WriteProfileString(file, kMoreOptions, "ExcludeUrls", JoinColonList(settings.aExcludeUrls));
  WriteProfileFlag(file, kMoreOptions, "bCheckExternal", settings.bCheckExternal);
}

bool WriteProfileFile(const std::string& path, const RunSettings& settings, std::string& problem) {
  const std::optional<std::string> existing = ReadWholeFile(path);
  // Rewriting a file that exists but cannot be read would lose its other keys.
  if (!existing && PathExists(path)) {
    problem = IsFolder(path) ? "Is a directory" : ReadProblem(path);
    return false;
  }
  IniFile file = IniFile::Parse(existing.value_or(""));
  WriteSettings(settings, file);
  return WriteFileAtomic(path, file.Serialize(), &problem);
}

}  // namespace

std::string ProfilesFolder() { return ProgramDataFolders().userProfiles; }

std::vector<std::string> ProfileFolders() {
  const DataFolders folders = ProgramDataFolders();
  if (folders.portable) return {folders.userProfiles};
  return {folders.userProfiles, folders.sampleProfiles};
}

std::string ProfileChooserFolder() {
  for (const std::string& folder : ProfileFolders())
    if (!ListFolder(folder).value_or(std::vector<FolderEntry>()).empty()) return folder;
  return ProfilesFolder();
}

std::string ProfileSaveFolder() {
  CreateFolders(ProfilesFolder());
  return ProfilesFolder();
}

std::string ResolveProfilePath(const std::string& name) {
  const std::string file = PathExtension(name).empty() ? name + kProfileExtension : name;
  if (file.find('/') != std::string::npos) return file;
  const std::vector<std::string> folders = ProfileFolders();
  for (const std::string& folder : folders)
    if (PathExists(folder + "/" + file)) return folder + "/" + file;
  return folders.front() + "/" + file;
}

std::vector<ProfileFile> FindProfileFiles() {
  std::vector<ProfileFile> found;
  for (const std::string& folder : ProfileFolders()) {
    for (const FolderEntry& entry : ListFolder(folder).value_or(std::vector<FolderEntry>())) {
      if (entry.status.isFolder || "." + PathExtension(entry.name) != kProfileExtension) continue;
      found.push_back({PathTitle(entry.name), folder + "/" + entry.name});
    }
  }
  return found;
}

bool LoadProfile(const std::string& path, RunSettings& settings, MessageSink& messages) {
  if (!GetFileStatus(path)) {
    messages.ShowMessage("Profile file: " + EscapedLine(path) + " does not exists");
    return false;
  }
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) {
    messages.ShowMessage("Couldn't read profile file:" + EscapedLine(path) + " (" +
                         ReadProblem(path) + ")");
    return false;
  }
  const IniFile file = IniFile::Parse(*text);
  // Any other file would load as an empty profile, whose empty map replaces the old one.
  if (!IsProfile(file)) {
    messages.ShowMessage(EscapedLine(path) + " is not a profile");
    return false;
  }
  ReadSettings(file, settings);
  return true;
}

bool SaveProfileAs(const std::string& path, const RunSettings& settings, MessageSink& messages) {
  // A profile saved without its extension could never be chosen again.
  const std::string file = PathExtension(path).empty() ? path + kProfileExtension : path;
  std::string problem;
  if (WriteProfileFile(file, settings, problem)) return true;
  messages.ShowMessage("Couldn't write profile file:" + EscapedLine(file) + " (" + problem + ")");
  return false;
}
