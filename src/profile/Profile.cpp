#include "profile/Profile.h"

#include <cstdlib>
#include <optional>

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
}

bool WriteProfileFile(const std::string& path, const RunSettings& settings) {
  const std::optional<std::string> existing = ReadWholeFile(path);
  // Rewriting a file that exists but cannot be read would lose its other keys.
  if (!existing && PathExists(path)) return false;
  IniFile file = IniFile::Parse(existing.value_or(""));
  WriteSettings(settings, file);
  return WriteFileAtomic(path, file.Serialize());
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
    messages.ShowMessage("Profile file: " + path + " does not exists");
    return false;
  }
  ReadSettings(IniFile::Parse(ReadWholeFile(path).value_or("")), settings);
  return true;
}

bool SaveProfileAs(const std::string& path, const RunSettings& settings, MessageSink& messages) {
  // A profile saved without its extension could never be chosen again.
  const std::string file = PathExtension(path).empty() ? path + kProfileExtension : path;
  if (WriteProfileFile(file, settings)) return true;
  messages.ShowMessage("Couldn't write profile file:" + file);
  return false;
}
