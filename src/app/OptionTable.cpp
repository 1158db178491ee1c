#include "app/OptionTable.h"

#include <algorithm>
#include <vector>

#include "common/Text.h"

namespace {

constexpr OptionSpec kOptions[] = {
    {"profile", 'p', OptionTakes::Value, "NAME",
     "load the profile NAME; a bare name is looked up in the\n"
     "profile folders (see --list-profiles), and the extension\n"
     "\".folioscribe_options\" is added when it has none"},
    {"justdoit", 0, OptionTakes::NextPlainWord, nullptr,
     "make the site map once and exit, without the dialog"},
    {"output", 'o', OptionTakes::Value, "FILE",
     "write the map to FILE, not to the profile's output name\n"
     "(a relative FILE is taken from the current folder);\n"
     "\"-\" writes it to standard output"},
    {"domain", 0, OptionTakes::Value, "URL", "the address of the site, replacing the profile's"},
    {"exclude", 0, OptionTakes::Value, "PATTERN",
     "leave out what PATTERN matches, as a line of the\n"
     "profile's pattern list does (\"*.css\", \"drafts/\");\n"
     "may be repeated"},
    {"dry-run", 0, OptionTakes::Nothing, nullptr,
     "walk the site and print how many entries the map would\n"
     "hold; writes nothing (no -justdoit needed)"},
    {"report", 0, OptionTakes::Nothing, nullptr,
     "after the run, print the link counts as \"key [count]\"\n"
     "(on standard error when the map goes to standard output)\n"
     "when the link counter is on (see --count-links)"},
    {"count-links", 0, OptionTakes::Nothing, nullptr,
     "count the links for this run, as the profile's \"link\n"
     "counter\" option does: the map is ordered by them"},
    {"robots", 0, OptionTakes::Nothing, nullptr,
     "print the line \"Sitemap: URL\" of the map (of its\n"
     "index when split), for robots.txt: after the run with\n"
     "-justdoit, else without making the map"},
    {"jobs", 'j', OptionTakes::Value, "N",
     "read the site's pages with N threads (default: one per\n"
     "core); the results are the same for every N"},
    {"quiet", 'q', OptionTakes::Nothing, nullptr, "print no informational lines, only problems"},
    {"timings", 0, OptionTakes::Nothing, nullptr,
     "after the run, print how long its steps took: the\n"
     "link counter's parsing of the pages and its walk, and\n"
     "the map"},
    {"check", 0, OptionTakes::Nothing, nullptr,
     "check the site instead of making the map: print its\n"
     "broken links and orphan pages; writes nothing"},
    {"check-anchors", 0, OptionTakes::Nothing, nullptr,
     "with --check: also find \"#name\" links to names missing\n"
     "on their page"},
    {"check-external", 0, OptionTakes::Nothing, nullptr,
     "the check also requests every http and https address the\n"
     "pages link or load, once each, and checks the syntax of\n"
     "mailto: links"},
    {"host-connections", 0, OptionTakes::Value, "N",
     "at most N requests at a time to one host (default 4)"},
    {"connections", 0, OptionTakes::Value, "N", "at most N requests at a time in all (default 64)"},
    {"timeout", 0, OptionTakes::Value, "S",
     "give up a request after S seconds (default 30; 10 at\n"
     "most to connect)"},
    {"header", 0, OptionTakes::Value, "HEADER",
     "send HEADER ('Name: value') with every request; may\n"
     "be repeated"},
    {"accept", 0, OptionTakes::Value, "STATUSES",
     "the statuses that count as good, such as 200..299,403\n"
     "(the default is 200..299)"},
    {"exclude-url", 0, OptionTakes::Value, "REGEX",
     "do not request the addresses this POSIX extended\n"
     "regular expression finds; added to the profile's\n"
     "ExcludeUrls; may be repeated"},
    {"cache", 0, OptionTakes::Nothing, nullptr,
     "keep the addresses found good in\n"
     "$XDG_CACHE_HOME/folioscribe/links.tsv and request them\n"
     "again only when older than --max-cache-age"},
    {"max-cache-age", 0, OptionTakes::Value, "AGE",
     "how long a good address is kept: seconds, or a number\n"
     "with s, m, h or d (default 1d)"},
    {"format", 0, OptionTakes::Value, "FORMAT",
     "with --check: the findings as \"text\" (the default: a\n"
     "line each, then the missing targets grouped), \"json\"\n"
     "(one object a line) or \"summary\" (the groups only)"},
    {"strict", 0, OptionTakes::Nothing, nullptr,
     "orphan pages and permanent redirects make the check\n"
     "fail too; a partial map\n"
     "(a folder or page could not be read, each is warned of)\n"
     "makes the run fail (exit status 1)"},
    {"list-profiles", 0, OptionTakes::Nothing, nullptr,
     "print the profiles found, each with its file, and exit"},
    {"log", 0, OptionTakes::Value, "DETAIL",
     "what the diagnostics log keeps: \"full\" (the default),\n"
     "\"errors\" (error and warning lines only) or \"off\";\n"
     "each file stops growing at 64 MB"},
    {"trace-viewer", 0, OptionTakes::Nothing, nullptr,
     "print the diagnostics log lines of running folioscribe\n"
     "programs as they arrive, until interrupted (Ctrl+C)"},
    {"help", 'h', OptionTakes::Nothing, nullptr, "print this help and exit"},
    {"version", 'V', OptionTakes::Nothing, nullptr, "print the version and exit"},
};

// "  -o, --output=FILE       write ..." with the help's further lines under its first.
void AppendOptionHelp(const OptionSpec& option, std::string& text) {
  constexpr size_t kHelpColumn = 24;
  std::string names = option.letter ? std::string("  -") + option.letter + ", " : "      ";
  names += std::string("--") + option.name;
  if (option.takes == OptionTakes::Value) names += std::string("=") + option.valueName;
  // Two blanks at least between an option and its text, or the text goes on the next
  // line: the manual page is made from this and reads the gap as the end of the option.
  if (names.size() + 2 > kHelpColumn) {
    text += names + "\n";
    names.clear();
  }
  names.append(kHelpColumn - names.size(), ' ');
  std::string help = option.help;
  for (size_t pos = help.find('\n'); pos != std::string::npos; pos = help.find('\n', pos + 1))
    help.insert(pos + 1, kHelpColumn, ' ');
  text += names + help + "\n";
}

}  // namespace

std::span<const OptionSpec> KnownOptions() { return kOptions; }

const OptionSpec* FindOptionSpec(const std::string& name) {
  for (const OptionSpec& option : kOptions)
    if (name.size() == 1 ? name[0] == option.letter : EqualsNoCase(name, option.name))
      return &option;
  return nullptr;
}

std::string ClosestOption(const std::string& prefix, const std::string& name) {
  const std::string typed = ToLowerAscii(name);
  const OptionSpec* best = nullptr;
  size_t bestDistance = std::max<size_t>(2, typed.size() / 3) + 1;
  for (const OptionSpec& option : kOptions) {
    const std::string known = option.name;
    // The beginning of a name ("--list") counts as one edit away.
    const size_t distance = known.rfind(typed, 0) == 0 ? 1 : EditDistance(typed, known);
    if (distance < bestDistance) {
      best = &option;
      bestDistance = distance;
    }
    if (option.letter && typed.size() == 1 && typed[0] == ToLowerAscii(option.letter))
      return "-" + std::string(1, option.letter);
  }
  return best ? prefix + best->name : "";
}

std::string UsageText() {
  std::string text =
      "Usage: folioscribe [START-FOLDER] [OPTION]...\n"
      "Turn the folder tree of a web site into one site-map file. Without -justdoit\n"
      "or --dry-run it opens the dialog, the profile and start folder filled in.\n"
      "\n"
      "Options:\n";
  for (const OptionSpec& option : kOptions) AppendOptionHelp(option, text);
  text +=
      "\n"
      "An option may start with \"-\", \"--\" or \"/\" and takes its value after \"=\" or as\n"
      "the next word; a short option also takes it attached (-j1, -omap.html).\n"
      "\"--\" ends the options. -justdoit takes the next plain word as its value,\n"
      "so put the start folder first.\n"
      "\n"
      "Exit status:\n"
      "  0  the site map was written (or the asked-for list printed)\n"
      "  1  the run failed: start folder missing, output not written or refused;\n"
      "     with --strict, also a partial map (written all the same)\n"
      "  2  could not start: unknown option, missing profile, no display\n"
      "\n"
      "Files:\n"
      "  ~/.config/folioscribe/profiles     your profiles ($XDG_CONFIG_HOME)\n"
      "  PREFIX/share/folioscribe/profiles  the installed samples, read after yours\n"
      "  ~/.local/state/folioscribe/logs    the diagnostics log ($XDG_STATE_HOME)\n"
      "A \"Profiles\" folder beside the program makes it portable: the profiles are\n"
      "read and saved there, and the log goes to \"LOGS\" beside it.\n"
      "\n"
      "Examples:\n"
      "  folioscribe ~/www -p sample -o /tmp/map.html -justdoit\n";
  return text;
}
