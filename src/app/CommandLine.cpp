#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>

#include "app/OptionTable.h"
#include "common/Escape.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "profile/Profile.h"

bool CCommandLineOptions::FindOption(const std::string& name, std::string& value) const {
  for (auto it = options_.rbegin(); it != options_.rend(); ++it) {
    if (EqualsNoCase(it->first, name)) {
      value = it->second;
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

std::vector<std::string> CCommandLineOptions::Values(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& [key, value] : options_)
    if (EqualsNoCase(key, name)) values.push_back(value);
  return values;
}

void CCommandLineOptions::AddOption(const std::string& name, const std::string& value) {
  options_.emplace_back(name, value);
}

void CCommandLineOptions::SetProblem(const std::string& problem) {
  if (problem_.empty()) problem_ = problem;
}

namespace {

struct TypedOption {
  std::string prefix;                // "-", "--" or "/"
  std::string name;                  // without prefix and value
  std::optional<std::string> value;  // what followed "="
};

// "-j1", "-omap.html": a letter that takes a value, the value right after it. Not when
// the word is a long name ("-jobs") or, beyond a few letters, close to one (a mistyped
// "-porfile" is no profile "orfile").
std::optional<TypedOption> AttachedShortValue(const std::string& body) {
  constexpr size_t kSureLength = 3;
  if (body.size() < 2 || FindOptionSpec(body.substr(0, body.find('='))) ||
      (body.size() > kSureLength && !ClosestOption("-", body).empty()))
    return std::nullopt;
  const OptionSpec* spec = FindOptionSpec(body.substr(0, 1));
  if (!spec || spec->takes != OptionTakes::Value) return std::nullopt;
  return TypedOption{"-", body.substr(0, 1), body.substr(1)};
}

// Splits an option word; nullopt for a plain word. "/x" is an option only when it could
// not be a path: no further "/" before any "=" and nothing of that name on disk.
std::optional<TypedOption> SplitOption(const std::string& word) {
  size_t prefixLength = word.rfind("--", 0) == 0 ? 2 : word.rfind("-", 0) == 0 ? 1 : 0;
  if (prefixLength == 0 && word.rfind("/", 0) == 0) {
    if (word.substr(0, word.find('=')).find('/', 1) != std::string::npos || PathExists(word))
      return std::nullopt;
    prefixLength = 1;
  }
  if (prefixLength == 0 || word == "-") return std::nullopt;
  if (word[0] == '-' && prefixLength == 1) {
    if (auto attached = AttachedShortValue(word.substr(1))) return attached;
  }
  TypedOption option{word.substr(0, prefixLength), word.substr(prefixLength), std::nullopt};
  if (const size_t equals = option.name.find('='); equals != std::string::npos) {
    option.value = option.name.substr(equals + 1);
    option.name.resize(equals);
  }
  return option;
}

std::string UnknownOptionProblem(const TypedOption& typed) {
  std::string problem = "unknown option " + typed.prefix + typed.name;
  const std::string closest = ClosestOption(typed.prefix, typed.name);
  if (!closest.empty()) problem += "; did you mean " + closest + "?";
  return problem;
}

// A value option takes the next word unless that is another option; "-" is a value.
bool CanBeValue(const std::string& word) { return word == "-" || word.rfind("-", 0) != 0; }

// Records one option word, taking its value from `args[i + 1]` when it needs one there.
// Returns the option when it waits for the next plain word.
const OptionSpec* ReadOption(const TypedOption& typed, const std::vector<std::string>& args,
                             size_t& i, CCommandLineOptions& options) {
  const OptionSpec* spec = FindOptionSpec(typed.name);
  const std::string asTyped = typed.prefix + typed.name;
  if (!spec) {
    options.SetProblem(UnknownOptionProblem(typed));
    return nullptr;
  }
  if (spec->takes == OptionTakes::NextPlainWord) options.SetBatchFlagAsTyped(asTyped);
  if (typed.value && spec->takes == OptionTakes::Nothing) {
    options.SetProblem(asTyped + " takes no value");
  } else if (typed.value) {
    options.AddOption(spec->name, *typed.value);
  } else if (spec->takes == OptionTakes::Value && i + 1 < args.size() && CanBeValue(args[i + 1])) {
    options.AddOption(spec->name, args[++i]);
  } else {
    if (spec->takes == OptionTakes::Value)
      options.SetProblem(asTyped + " needs a value: " + asTyped +
                         (typed.name.size() == 1 ? " " : "=") + spec->valueName);
    options.AddOption(spec->name, "TRUE");
    if (spec->takes == OptionTakes::NextPlainWord) return spec;
  }
  return nullptr;
}

}  // namespace

CCommandLineOptions ParseCommandLine(const std::vector<std::string>& args) {
  CCommandLineOptions options;
  const OptionSpec* waitingForWord = nullptr;  // the batch flag, until a plain word comes
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (!optionsEnded && args[i] == "--") {
      optionsEnded = true;
      waitingForWord = nullptr;
      continue;
    }
    const auto typed = optionsEnded ? std::nullopt : SplitOption(args[i]);
    if (typed) {
      waitingForWord = ReadOption(*typed, args, i, options);
      continue;
    }
    if (waitingForWord)
      options.AddOption(waitingForWord->name, args[i]);
    else
      options.AddPlainWord(args[i]);
    waitingForWord = nullptr;
  }
  return options;
}

namespace {

// A relative output name on the command line is taken from the current folder.
std::string OutputPathFromCommandLine(const std::string& name) {
  if (name == "-" || IsAbsolutePath(name)) return name;
  return CurrentFolder() + "/" + name;
}

// The detail "--log" names; nullopt for a word it does not know.
std::optional<LogDetail> LogDetailNamed(const std::string& name) {
  if (name == "off") return LogDetail::kOff;
  if (name == "errors") return LogDetail::kErrors;
  if (name == "full") return LogDetail::kFull;
  return std::nullopt;
}

// More threads than this only wait for the disk.
constexpr int kMaxJobs = 256;

// The value of --jobs: a whole number from 1 to kMaxJobs; 0 when it is none.
int JobCount(const std::string& value) {
  int count = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, count);
  return error == std::errc() && stop == end && count >= 1 && count <= kMaxJobs ? count : 0;
}

std::string UsageError(const StartupRequest& request, const CCommandLineOptions& options,
                       const std::string& externalProblem) {
  if (!options.Problem().empty()) return options.Problem();
  if (!externalProblem.empty()) return externalProblem;
  if (request.external.check && !request.check) return "--check-external goes with --check";
  std::string log;
  if (options.FindOption("log", log) && !LogDetailNamed(log))
    return "--log takes off, errors or full, not \"" + log + "\"";
  std::string batchValue;
  if (options.FindOption("justdoit", batchValue) && batchValue != "TRUE")
    return options.BatchFlagAsTyped() + " took \"" + batchValue +
           "\" as its value; put the start folder first";
  std::string jobs;
  if (options.FindOption("jobs", jobs) && request.jobs == 0)
    return "--jobs takes a number of threads from 1 to " + std::to_string(kMaxJobs) + ", not \"" + jobs + "\"";
  if (!request.format.empty() && request.format != "text" && request.format != "json" &&
      request.format != "summary")
    return "--format takes text, json or summary, not \"" + request.format + "\"";
  if (!request.check && (request.checkAnchors || !request.format.empty()))
    return std::string(request.checkAnchors ? "--check-anchors" : "--format") +
           " belongs to --check; add --check to check the site";
  if (request.robots && request.MapToStandardOutput())
    return "--robots gives the address of a map file, and -o - writes none";
  if (request.MapToStandardOutput() && !request.justDoIt && !request.dryRun)
    return "-o - writes the map to standard output, which only a batch run has: add -justdoit";
  return "";
}

// The profile whose name is closest to the mistyped `name`; empty when none is close.
std::string ClosestProfileName(const std::string& name) {
  const std::string typed = ToLowerAscii(PathTitle(name));
  std::string best;
  size_t bestDistance = std::max<size_t>(2, typed.size() / 3) + 1;
  for (const ProfileFile& profile : FindProfileFiles()) {
    const size_t distance = EditDistance(typed, ToLowerAscii(profile.name));
    if (distance < bestDistance) {
      best = profile.name;
      bestDistance = distance;
    }
  }
  return best;
}

// For a bare name: where it was looked for, and the name meant when one is close.
std::string MissingProfileMessage(const std::string& name, const std::string& path) {
  std::string message = "Profile: " + EscapedLine(path) + " does not exist";
  if (name.find('/') != std::string::npos) return message;
  const std::vector<std::string> folders = ProfileFolders();
  for (size_t i = 0; i < folders.size(); ++i)
    message += (i == 0 ? "; looked in " : " and ") + EscapedLine(folders[i]);
  const std::string closest = ClosestProfileName(name);
  return closest.empty() ? message : message + "; did you mean " + closest + "?";
}

}  // namespace

bool StartupRequest::NeedsNoDialog() const {
  return justDoIt || dryRun || check || robots || help || version || listProfiles ||
         traceViewer || !usageError.empty();
}

StartupRequest ReadStartupRequest(const CCommandLineOptions& options) {
  StartupRequest request;
  std::string value;
  request.justDoIt = options.GetOptionValue("justdoit") == "TRUE";
  request.dryRun = options.FindOption("dry-run", value);
  request.report = options.FindOption("report", value);
  request.countLinks = options.FindOption("count-links", value);
  request.robots = options.FindOption("robots", value);
  request.quiet = options.FindOption("quiet", value);
  request.timings = options.FindOption("timings", value);
  request.help = options.FindOption("help", value);
  request.version = options.FindOption("version", value);
  request.listProfiles = options.FindOption("list-profiles", value);
  request.traceViewer = options.FindOption("trace-viewer", value);
  request.check = options.FindOption("check", value);
  request.checkAnchors = options.FindOption("check-anchors", value);
  const std::string externalProblem = ReadExternalOptions(options, request.external);
  request.format = options.GetOptionValue("format");
  request.strict = options.FindOption("strict", value);
  if (options.FindOption("output", value)) request.outputPath = OutputPathFromCommandLine(value);
  if (options.FindOption("domain", value)) request.domain = value;
  request.excludePatterns = options.Values("exclude");
  if (options.FindOption("log", value)) request.logDetail = LogDetailNamed(value).value_or(LogDetail::kFull);
  if (options.FindOption("jobs", value)) request.jobs = JobCount(value);
  if (options.FindOption("profile", value)) {
    // Typed: as typed when that exists, else in the Windows reading.
    const std::string asTyped = ResolveProfilePath(value);
    const std::string path = PathExists(asTyped) ? asTyped : ResolveProfilePath(ToSlashes(value));
    if (PathExists(path))
      request.profilePath = path;
    else
      request.missingProfileMessage = MissingProfileMessage(ToSlashes(value), path);
  }
  if (!options.PlainWords().empty()) request.folder = options.PlainWords().front();
  request.usageError = UsageError(request, options, externalProblem);
  return request;
}

void ApplyCommandLineSettings(const StartupRequest& request, RunSettings& settings) {
  if (!request.folder.empty()) settings.sStartDirectoryPath = request.folder;
  if (!request.outputPath.empty() && !request.MapToStandardOutput())
    settings.sOutPutFileName = request.outputPath;
  if (request.domain) settings.sDomain = *request.domain;
  if (request.jobs > 0) settings.jobs = request.jobs;
  if (request.countLinks) settings.bUsePageRank = true;
  if (request.external.check) settings.bCheckExternal = true;
  settings.aPatterns.insert(settings.aPatterns.end(), request.excludePatterns.begin(),
                            request.excludePatterns.end());
}
