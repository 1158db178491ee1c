#include "app/CommandLine.h"

#include <optional>

#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "profile/Profile.h"

void CCommandLineOptions::ParseParam(const std::string& param, bool isFlag, bool /*isLast*/) {
  auto set = [this](const std::string& name, const std::string& value) {
    for (auto& [key, old] : options_)
      if (key == name) return void(old = value);
    options_.emplace_back(name, value);
  };
  if (isFlag) {
    pendingFlag_ = param;
    set(param, "TRUE");
  } else if (!pendingFlag_.empty()) {
    set(pendingFlag_, param);
    pendingFlag_.clear();
  } else {
    plainWords_.push_back(param);
  }
}

bool CCommandLineOptions::FindOption(const std::string& name, std::string& value) const {
  for (const auto& [key, found] : options_) {
    if (EqualsNoCase(key, name)) {
      value = found;
      return true;
    }
  }
  value.clear();
  return false;
}

std::string CCommandLineOptions::GetOptionValue(const std::string& name) const {
  std::string value;
  FindOption(name, value);
  return value;
}

std::vector<std::string> CCommandLineOptions::OptionNames() const {
  std::vector<std::string> names;
  for (const auto& option : options_) names.push_back(option.first);
  return names;
}

namespace {

constexpr const char* kKnownFlags[] = {"profile", "justdoit", "report", "help", "version"};

bool IsKnownFlag(const std::string& name) {
  for (const char* known : kKnownFlags)
    if (EqualsNoCase(name, known)) return true;
  return false;
}

// "-x" and "--x" are flags. "/x" is one only when it could not be a path: no further "/"
// and nothing of that name on disk ("/justdoit", but not "/tmp" or "/home/me/site").
std::optional<std::string> FlagName(const std::string& word) {
  if (word.rfind("--", 0) == 0) return word.substr(2);
  if (word.rfind("-", 0) == 0) return word.substr(1);
  if (word.rfind("/", 0) == 0 && word.find('/', 1) == std::string::npos && !PathExists(word))
    return word.substr(1);
  return std::nullopt;
}

// A bare profile name lives in the Profiles folder; a name without extension gets ours.
std::string ResolveProfile(std::string name) {
  if (name.find('/') == std::string::npos) name = ProfilesFolder() + "/" + name;
  if (PathExtension(name).empty()) name += kProfileExtension;
  return name;
}

}  // namespace

CCommandLineOptions ParseCommandLine(const std::vector<std::string>& args) {
  CCommandLineOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const auto flag = FlagName(args[i]);
    options.ParseParam(flag.value_or(args[i]), flag.has_value(), i + 1 == args.size());
  }
  return options;
}

StartupRequest ReadStartupRequest(const CCommandLineOptions& options) {
  StartupRequest request;
  std::string value;
  request.justDoIt = options.GetOptionValue("justdoit") == "TRUE";
  request.report = options.FindOption("report", value);
  request.help = options.FindOption("help", value);
  request.version = options.FindOption("version", value);
  for (const std::string& name : options.OptionNames()) {
    if (!IsKnownFlag(name)) {
      request.unknownFlag = name;
      break;
    }
  }
  if (options.FindOption("profile", value)) {
    const std::string path = ResolveProfile(value);
    if (PathExists(path))
      request.profilePath = path;
    else
      request.missingProfileMessage = "Profile: " + path + " does not exist";
  }
  const auto& words = options.PlainWords();
  if (!words.empty() && IsFolder(words.front())) request.folder = words.front();
  return request;
}

std::string UsageText() {
  return "Usage: folioscribe [start-folder] [-profile NAME] [-justdoit] [-report]\n"
         "\n"
         "Turns the folder tree of a web site into one site-map file.\n"
         "\n"
         "  start-folder     the folder to map; replaces the profile's start folder\n"
         "  -profile NAME    load the profile NAME: a bare name is looked for in the\n"
         "                   Profiles folder beside the program, \".folioscribe_options\"\n"
         "                   is added when it has no extension\n"
         "  -justdoit        make the site map once and exit, without the dialog\n"
         "  -report          after the run, print the link counts, \"key [count]\" per line\n"
         "  -help            print this text and exit\n"
         "  -version         print the version and exit\n"
         "\n"
         "Flags may start with \"-\", \"--\" or \"/\". A flag takes the next plain word as its\n"
         "value, so put the start folder first. Exit status: 0 written, 1 the run failed,\n"
         "2 could not start.\n";
}
