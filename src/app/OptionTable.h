#pragma once
#include <span>
#include <string>

// What an option takes after its name.
enum class OptionTakes {
  Nothing,        // a switch
  Value,          // "--name=VALUE" or "--name VALUE"; a missing value is an error
  NextPlainWord,  // the next plain word when one follows, else "TRUE" (the old batch flag)
};

// One option of the command line. The parser, --help, the suggestion for a mistyped
// option, the manual page (made from --help) and the shell completion all read this table.
struct OptionSpec {
  const char* name;       // the long name: "-name", "--name" or "/name", case ignored
  char letter;            // the short name "-x" (case kept); 0 when none
  OptionTakes takes;
  const char* valueName;  // shown in --help for a Value option ("FILE")
  const char* help;       // lines separated by "\n"
};

// Every option, in the order --help lists them.
std::span<const OptionSpec> KnownOptions();
// The option of long name `name` (case ignored), or of short name `name` when it is one
// letter; nullptr when there is none.
const OptionSpec* FindOptionSpec(const std::string& name);
// The known option closest to the mistyped `name`, written after `prefix` as typed
// ("--" and "porfile" give "--profile"); empty when none is close.
std::string ClosestOption(const std::string& prefix, const std::string& name);

// The text printed by --help.
std::string UsageText();
