#pragma once
#include <map>
#include <string>
#include <vector>

// The command line: flags ("-name", "--name", "/name") with the next plain word as their
// value (or "TRUE"), and the plain words.
class CCommandLineOptions {
 public:
  // One argument, without its flag prefix when `isFlag`.
  void ParseParam(const std::string& param, bool isFlag, bool isLast);
  // The value of option `name`, looked up ignoring case.
  bool FindOption(const std::string& name, std::string& value) const;
  std::string GetOptionValue(const std::string& name) const;
  const std::vector<std::string>& PlainWords() const { return plainWords_; }
  // The option names as typed, in order of first appearance.
  std::vector<std::string> OptionNames() const;

 private:
  std::string pendingFlag_;
  std::vector<std::string> plainWords_;
  std::vector<std::pair<std::string, std::string>> options_;  // in order of first setting
};

// Parses argv[1..] with the Linux flag rule: "-x"/"--x" is a flag; "/x" is a flag only when
// it holds no further "/" and names nothing on disk.
CCommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// What start-up takes from the command line.
struct StartupRequest {
  std::string profilePath;   // resolved; empty when none was named or it does not exist
  std::string missingProfileMessage;  // "Profile: <v> does not exist" when named but missing
  std::string folder;        // first plain word when it is an existing folder
  bool justDoIt = false;     // "justdoit" has the value "TRUE"
  bool report = false;       // print the link report after a batch run
  bool help = false;
  bool version = false;
  std::string unknownFlag;   // the first flag the program does not know, as typed
};
StartupRequest ReadStartupRequest(const CCommandLineOptions& options);

// The usage text printed by "--help".
std::string UsageText();
