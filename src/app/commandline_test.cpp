#include <gtest/gtest.h>

#include "app/CommandLine.h"

#include "app/OptionTable.h"
#include "platform/Program.h"
#include "profile/Profile.h"
#include "tests/support/TempDir.h"

TEST(ParseCommandLine, FlagsTakeTheNextPlainWord) {
  struct Case {
    std::vector<std::string> args;
    std::string justdoit, profile;
    std::vector<std::string> words;
  } cases[] = {
      {{"/justdoit", "/profile", "mysite"}, "TRUE", "mysite", {}},
      {{"-profile", "mysite", "--justdoit"}, "TRUE", "mysite", {}},
      {{"/JUSTDOIT", "/PROFILE", "mysite"}, "TRUE", "mysite", {}},
      {{"-justdoit", "/tmp"}, "/tmp", "", {}},  // the folder becomes the flag's value
      {{"/tmp", "-justdoit", "-profile"}, "TRUE", "TRUE", {"/tmp"}},
      {{"site", "other", "-profile", "a", "-profile", "b"}, "", "b", {"site", "other"}},
      {{"/home/me/site"}, "", "", {"/home/me/site"}},
  };
  for (const Case& c : cases) {
    const CCommandLineOptions options = ParseCommandLine(c.args);
    EXPECT_EQ(options.GetOptionValue("justdoit"), c.justdoit) << c.args[0];
    EXPECT_EQ(options.GetOptionValue("Profile"), c.profile) << c.args[0];
    EXPECT_EQ(options.PlainWords(), c.words) << c.args[0];
  }
}

TEST(ParseCommandLine, FindOptionTellsAbsentFromEmpty) {
  const CCommandLineOptions options = ParseCommandLine({"-Report", "-domain", ""});
  std::string value = "stale";
  EXPECT_TRUE(options.FindOption("report", value));
  EXPECT_EQ(value, "TRUE");
  EXPECT_TRUE(options.FindOption("DOMAIN", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(options.FindOption("help", value));
  EXPECT_EQ(value, "");
}

TEST(ReadStartupRequest, ResolvesTheProfileName) {
  TempDir dir;
  dir.Build({{"mine.folioscribe_options", ""}, {"my.cfg", ""}, {"site/", ""}});
  const std::string profiles = ProfilesFolder();
  // A bare name says where it was looked for.
  std::string lookedIn = "; looked in " + ProfileFolders().front();
  for (size_t i = 1; i < ProfileFolders().size(); ++i) lookedIn += " and " + ProfileFolders()[i];
  struct Case {
    std::string name, path, missing;
  } cases[] = {
      {dir / "mine", dir / "mine.folioscribe_options", ""},
      {dir / "my.cfg", dir / "my.cfg", ""},
      {"nosuchxyzzy", "", "Profile: " + profiles + "/nosuchxyzzy.folioscribe_options does not exist" + lookedIn},
      {"my.cfgxyzzy", "", "Profile: " + profiles + "/my.cfgxyzzy does not exist" + lookedIn},
      {dir / "gone", "", "Profile: " + dir / "gone.folioscribe_options does not exist"},
  };
  for (const Case& c : cases) {
    const StartupRequest request = ReadStartupRequest(ParseCommandLine({"-profile", c.name}));
    EXPECT_EQ(request.profilePath, c.path) << c.name;
    EXPECT_EQ(request.missingProfileMessage, c.missing) << c.name;
  }
}

TEST(ReadStartupRequest, StartFolderAndSwitches) {
  TempDir dir;
  dir.Build({{"site/", ""}, {"page.htm", ""}});
  struct Case {
    std::vector<std::string> args;
    std::string folder;
    bool justDoIt, report, help, version;
  } cases[] = {
      {{dir / "site", "-justdoit", "-report"}, dir / "site", true, true, false, false},
      {{dir / "page.htm", dir / "site"}, dir / "page.htm", false, false, false, false},
      {{"-justdoit", dir / "site"}, "", false, false, false, false},
      {{"-justdoit", "true"}, "", false, false, false, false},
      {{"--help", "/version"}, "", false, false, true, true},
  };
  for (const Case& c : cases) {
    const StartupRequest request = ReadStartupRequest(ParseCommandLine(c.args));
    EXPECT_EQ(request.folder, c.folder) << c.args[0];
    EXPECT_EQ(request.justDoIt, c.justDoIt) << c.args[0];
    EXPECT_EQ(request.report, c.report) << c.args[0];
    EXPECT_EQ(request.help, c.help) << c.args[0];
    EXPECT_EQ(request.version, c.version) << c.args[0];
  }
}

TEST(ParseCommandLine, GnuFormsBesideTheOldOnes) {
  struct Case {
    std::vector<std::string> args;
    std::string option, value;
    std::vector<std::string> words;
  } cases[] = {
      {{"--profile=my site"}, "profile", "my site", {}},
      {{"-p", "mine", "site"}, "profile", "mine", {"site"}},
      {{"/PROFILE=a=b"}, "profile", "a=b", {}},
      {{"site", "-o", "-"}, "output", "-", {"site"}},
      {{"/output=/tmp/x/map.html"}, "output", "/tmp/x/map.html", {}},
      {{"--OUTPUT", "/map.html", "site"}, "output", "/map.html", {"site"}},
      {{"-q", "site"}, "quiet", "TRUE", {"site"}},             // a switch takes no word
      {{"--report", "-V", "-h"}, "version", "TRUE", {}},
      {{"-justdoit", "--", "-site"}, "justdoit", "TRUE", {"-site"}},
      {{"--", "--help", "-"}, "help", "", {"--help", "-"}},
      {{"--domain=", "x"}, "domain", "", {"x"}},
      // A short option's value may follow its letter at once.
      {{"-j1", "site"}, "jobs", "1", {"site"}},
      {{"-omap.html"}, "output", "map.html", {}},
      {{"-psample", "-q"}, "profile", "sample", {}},
      {{"-o-", "-justdoit"}, "output", "-", {}},
      {{"-oa"}, "output", "a", {}},
  };
  for (const Case& c : cases) {
    const CCommandLineOptions options = ParseCommandLine(c.args);
    EXPECT_EQ(options.GetOptionValue(c.option), c.value) << c.args[0];
    EXPECT_EQ(options.PlainWords(), c.words) << c.args[0];
    EXPECT_EQ(options.Problem(), "") << c.args[0];
  }
  const CCommandLineOptions repeated = ParseCommandLine({"--domain=a", "--domain", "b"});
  EXPECT_EQ(repeated.Values("domain"), (std::vector<std::string>{"a", "b"}));
}

TEST(ReadStartupRequest, ProblemsNameWhatIsWrong) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--porfile", "x"}, "unknown option --porfile; did you mean --profile?"},
      {{"/justdoti"}, "unknown option /justdoti; did you mean /justdoit?"},
      {{"--list"}, "unknown option --list; did you mean --list-profiles?"},
      {{"-H"}, "unknown option -H; did you mean -h?"},
      {{"--zzzzzzzz"}, "unknown option --zzzzzzzz"},
      {{"-o"}, "-o needs a value: -o FILE"},
      {{"--output", "-q"}, "--output needs a value: --output=FILE"},
      {{"--quiet=yes"}, "--quiet takes no value"},
      {{"/justdoit", "/tmp"}, "/justdoit took \"/tmp\" as its value; put the start folder first"},
      {{"-o", "-"}, "-o - writes the map to standard output, which only a batch run has: "
                    "add -justdoit"},
      {{"-q", "--nope", "--worse"}, "unknown option --nope"},  // the first problem only
      // A mistyped long name stays a mistake, not a letter with a value.
      {{"-porfile", "x"}, "unknown option -porfile; did you mean -profile?"},
      {{"-qx"}, "unknown option -qx"},
      {{"--check-anchors", "site"}, "--check-anchors belongs to --check; add --check to check the site"},
      {{"--format=json"}, "--format belongs to --check; add --check to check the site"},
      {{"--check", "--format=xml"}, "--format takes text, json or summary, not \"xml\""},
  };
  for (const auto& [args, problem] : cases)
    EXPECT_EQ(ReadStartupRequest(ParseCommandLine(args)).usageError, problem) << args[0];
  EXPECT_EQ(ReadStartupRequest(ParseCommandLine({"-o", "-", "-justdoit"})).usageError, "");
}

TEST(ReadStartupRequest, OutputDomainAndTheDialogsPart) {
  const StartupRequest relative = ReadStartupRequest(ParseCommandLine({"-o", "maps/a.html"}));
  EXPECT_EQ(relative.outputPath, CurrentFolder() + "/maps/a.html");
  EXPECT_FALSE(relative.NeedsNoDialog());
  RunSettings settings;
  settings.sOutPutFileName = "sitemap.html";
  settings.sDomain = "old";
  ApplyCommandLineSettings(relative, settings);
  EXPECT_EQ(settings.sOutPutFileName, CurrentFolder() + "/maps/a.html");
  EXPECT_EQ(settings.sDomain, "old");

  const StartupRequest toStdout = ReadStartupRequest(ParseCommandLine(
      {"--output=-", "--domain=https://a.org", "--exclude=*.css", "--exclude", "drafts/", "-justdoit"}));
  settings.aPatterns = {"!keep.css"};
  EXPECT_TRUE(toStdout.MapToStandardOutput());
  EXPECT_TRUE(toStdout.NeedsNoDialog());
  ApplyCommandLineSettings(toStdout, settings);
  EXPECT_EQ(settings.sOutPutFileName, CurrentFolder() + "/maps/a.html");  // the file stays
  EXPECT_EQ(settings.sDomain, "https://a.org");
  // After the profile's own lines, in order: a later line overrides an earlier one.
  EXPECT_EQ(settings.aPatterns, (std::vector<std::string>{"!keep.css", "*.css", "drafts/"}));
  EXPECT_FALSE(settings.bUsePageRank);
  ApplyCommandLineSettings(ReadStartupRequest(ParseCommandLine({"--count-links"})), settings);
  EXPECT_TRUE(settings.bUsePageRank);
  for (const char* alone : {"--dry-run", "--check", "-h", "-V", "--list-profiles", "--trace-viewer", "-x"})
    EXPECT_TRUE(ReadStartupRequest(ParseCommandLine({alone})).NeedsNoDialog()) << alone;
}

TEST(OptionTable, HelpListsEveryOptionInItsLine) {
  const std::string usage = UsageText();
  for (const OptionSpec& option : KnownOptions()) {
    std::string line = option.letter ? std::string("\n  -") + option.letter + ", " : "\n      ";
    line += std::string("--") + option.name + (option.valueName ? "=" : " ");
    EXPECT_NE(usage.find(line), std::string::npos) << option.name;
    EXPECT_EQ(FindOptionSpec(option.name), &option);
  }
  // Kept within a terminal's width, so the manual page and the terminal agree.
  for (size_t start = 0, end; (end = usage.find('\n', start)) != std::string::npos; start = end + 1)
    EXPECT_LE(end - start, 80u) << usage.substr(start, end - start);
}

TEST(ExternalOptions, StatusRangesAndAges) {
  const auto ranges = ParseStatusRanges("200..299, 403,429");
  ASSERT_TRUE(ranges);
  ASSERT_EQ(ranges->size(), 3u);
  EXPECT_EQ((*ranges)[0].first, 200);
  EXPECT_EQ((*ranges)[0].last, 299);
  EXPECT_EQ((*ranges)[1].first, 403);
  EXPECT_EQ((*ranges)[2].last, 429);
  for (const char* bad : {"", "200-299", "299..200", "2000", "99", "200,,201", "200..", "ok"})
    EXPECT_FALSE(ParseStatusRanges(bad)) << bad;

  EXPECT_EQ(ParseAge("90"), 90);
  EXPECT_EQ(ParseAge("90s"), 90);
  EXPECT_EQ(ParseAge("15m"), 900);
  EXPECT_EQ(ParseAge("2h"), 7200);
  EXPECT_EQ(ParseAge("1D"), 86400);
  for (const char* bad : {"", "d", "1w", "-1", "1.5h"}) EXPECT_FALSE(ParseAge(bad)) << bad;
}

TEST(ExternalOptions, CommandLineAndProfileMeet) {
  const StartupRequest request = ReadStartupRequest(
      ParseCommandLine({"site", "--check", "--check-external", "--host-connections=2",
                        "--connections", "8", "--timeout=5", "--header=X-A: 1", "--header",
                        "X-B: 2", "--exclude-url=ads", "--cache", "--max-cache-age=2h"}));
  ASSERT_EQ(request.usageError, "");
  EXPECT_TRUE(request.external.check);
  const ExternalCheckSettings settings =
      ExternalSettingsForRun(request.external, {"^http://old\\."}, "http://www.example.org/");
  EXPECT_EQ(settings.http.hostConnections, 2);
  EXPECT_EQ(settings.http.connections, 8);
  EXPECT_EQ(settings.http.timeoutSeconds, 5);
  EXPECT_EQ(settings.http.headers, (std::vector<std::string>{"X-A: 1", "X-B: 2"}));
  EXPECT_EQ(settings.http.userAgent, "folioscribe/1.22 (+link check)");
  EXPECT_EQ(settings.excludeUrls, (std::vector<std::string>{"^http://old\\.", "ads"}));
  EXPECT_EQ(settings.maxCacheAgeSeconds, 7200);
  EXPECT_TRUE(settings.cachePath.ends_with("/folioscribe/links.tsv")) << settings.cachePath;
  EXPECT_EQ(settings.schemeOfBareHost, "http");

  const StartupRequest plain = ReadStartupRequest(ParseCommandLine({"site", "--check"}));
  const ExternalCheckSettings defaults = ExternalSettingsForRun(plain.external, {}, "");
  EXPECT_FALSE(plain.external.check);
  EXPECT_EQ(defaults.http.hostConnections, 4);
  EXPECT_EQ(defaults.http.connections, 64);
  EXPECT_EQ(defaults.http.timeoutSeconds, 30);
  EXPECT_EQ(defaults.cachePath, "");
  EXPECT_EQ(defaults.schemeOfBareHost, "https");
  ASSERT_EQ(defaults.accept.size(), 1u);
  EXPECT_EQ(defaults.accept[0].first, 200);
  EXPECT_EQ(defaults.accept[0].last, 299);
}
