#include <gtest/gtest.h>
#include <zlib.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "ProgramRunner.h"
#include "platform/ReplacementFile.h"
#include "tests/support/NeededTool.h"
#include "tests/support/TempDir.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kSite = "https://folio.test/";

// The bundled xml-sitemap profile, its part size replaced when `partEntries` is given.
std::string XmlSitemapProfile(const std::string& partEntries = "") {
  std::ifstream in(std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/profiles/xml-sitemap.folioscribe_options");
  std::stringstream text;
  text << in.rdbuf();
  if (partEntries.empty()) return text.str();
  return std::regex_replace(text.str(), std::regex("nSitemapPartEntries=[0-9]*"),
                            "nSitemapPartEntries=" + partEntries);
}

std::vector<std::string> Locations(const std::string& map) {
  std::vector<std::string> found;
  const std::regex loc("<loc>([^<]*)</loc>");
  for (std::sregex_iterator it(map.begin(), map.end(), loc), end; it != end; ++it) found.push_back((*it)[1]);
  return found;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

std::string Gunzipped(const std::string& path) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) return "<missing>";
  std::string text;
  char buffer[65536];
  for (int got; (got = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
  gzclose(file);
  return text;
}

Texts TemporaryFilesIn(const std::string& folder) {
  Texts found;
  for (const std::string& name : NamesInForTest(folder))
    if (IsTemporaryFileName(name)) found.push_back(name);
  return found;
}

// A generated site of 120,001 empty pages (1,111 folders of 100, and 8,901 in one folder),
// mapped with the bundled xml-sitemap profile.
class SitemapPartsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Under the sanitizers each run over 120,001 pages takes a good part of a minute; the
    // parts' logic is checked there by the unit tests.
    if (FOLIOSCRIBE_SANITIZED) GTEST_SKIP() << "too slow in a sanitizer build";
    const std::string generate = std::string(FOLIOSCRIBE_SITEGEN) + " " + Site() + " 8900 100 bare";
    ASSERT_EQ(std::system(generate.c_str()), 0);
    dir.Write("parts.folioscribe_options", XmlSitemapProfile());
    dir.Write("whole.folioscribe_options", XmlSitemapProfile("0"));
  }
  std::string Site() const { return dir / "site"; }
  std::string Map(const std::string& name) const { return Site() + "/" + name; }
  std::vector<std::string> Args(const std::string& profile, const std::string& output) const {
    return {Site(), "-p", dir / (profile + ".folioscribe_options"), "-o", Map(output),
            "--domain=" + kSite};
  }
  ProgramOutput Run(const std::string& profile, const std::string& output, Texts more = {}) const {
    Texts args = Args(profile, output);
    args.push_back("-justdoit");
    args.insert(args.end(), more.begin(), more.end());
    return RunFolioscribe(args);
  }
  Texts Files(const std::string& name, int parts) const {
    Texts files;
    for (int part = 1; part <= parts; ++part) files.push_back(ReadFileForTest(Map(name + "-" + std::to_string(part) + ".xml")));
    return files;
  }
  static std::string Schema(const std::string& name) {
    return std::string(FOLIOSCRIBE_SOURCE_DIR) + "/../shared/conformance/sitemaps/" + name;
  }
  static int Validate(const std::string& schema, const std::string& file) {
    return std::system(("xmllint --noout --schema " + Schema(schema) + " " + file + " 2>/dev/null").c_str());
  }

  // 120,001 files are made and removed in a fraction of the time in memory.
  TempDir dir{std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : ""};
};

TEST_F(SitemapPartsTest, LargeSiteGetsAnIndexOfPartsWithinTheLimits) {
  ProgramOutput run = Run("parts", "sitemap.xml", {"--robots"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Sitemap: " + kSite + "sitemap.xml\n");
  EXPECT_EQ(run.err, "folioscribe: wrote " + Map("sitemap.xml") + " (the index of 3 parts: " +
                         Map("sitemap-1.xml") + " to " + Map("sitemap-3.xml") + ")\n");
  const Texts parts = Files("sitemap", 3);
  EXPECT_EQ(Count(parts[0], "<url>"), 50000u);
  EXPECT_EQ(Count(parts[1], "<url>"), 50000u);
  EXPECT_EQ(Count(parts[2], "<url>"), 20001u);
  for (const std::string& part : parts) {
    EXPECT_TRUE(part.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<urlset "));
    EXPECT_TRUE(part.ends_with("</url>\n</urlset>\n"));
  }
  const std::string index = ReadFileForTest(Map("sitemap.xml"));
  EXPECT_EQ(Locations(index),
            (Texts{kSite + "sitemap-1.xml", kSite + "sitemap-2.xml", kSite + "sitemap-3.xml"}));
  EXPECT_EQ(Count(index, "<lastmod>"), 3u);
  // Neither the parts nor the index are pages of the site.
  for (const std::string& part : parts) EXPECT_EQ(part.find(kSite + "sitemap"), std::string::npos);

  // The parts list what one file lists, in the same order.
  run = Run("whole", "whole.xml");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string whole = ReadFileForTest(Map("whole.xml"));
  Texts joined;
  for (const std::string& part : parts) {
    const Texts locations = Locations(part);
    joined.insert(joined.end(), locations.begin(), locations.end());
  }
  EXPECT_EQ(joined, Locations(whole));
  EXPECT_EQ(joined.size(), 120001u);

  // Compressed, every file holds the same bytes; only the index names the ".gz" parts.
  run = Run("parts", "sitemap.xml.gz");
  ASSERT_EQ(run.status, 0) << run.err;
  for (int part = 1; part <= 3; ++part)
    EXPECT_EQ(Gunzipped(Map("sitemap-" + std::to_string(part) + ".xml.gz")), parts[static_cast<size_t>(part - 1)]) << part;
  EXPECT_EQ(Gunzipped(Map("sitemap.xml.gz")), std::regex_replace(index, std::regex("\\.xml<"), ".xml.gz<"));
  run = Run("whole", "whole.xml.gz");
  EXPECT_EQ(Gunzipped(Map("whole.xml.gz")), whole);

  SKIP_WITHOUT_TOOL("xmllint");
  if (!std::ifstream(Schema("sitemap.xsd")))
    GTEST_SKIP() << "no " << Schema("sitemap.xsd") << ": the maps are not checked by the schemas";
  for (int part = 1; part <= 3; ++part)
    EXPECT_EQ(Validate("sitemap.xsd", Map("sitemap-" + std::to_string(part) + ".xml")), 0) << part;
  EXPECT_EQ(Validate("siteindex.xsd", Map("sitemap.xml")), 0);
}

TEST_F(SitemapPartsTest, OldSetStaysUntilAWholeNewOneReplacesItAndLosesPartsNoLongerNeeded) {
  ASSERT_EQ(Run("parts", "sitemap.xml").status, 0);
  const Texts names = {"sitemap.xml", "sitemap-1.xml", "sitemap-2.xml", "sitemap-3.xml"};
  Texts before;
  for (const std::string& name : names) before.push_back(ReadFileForTest(Map(name)));

  // Stopped once the second part is begun.
  Texts args = Args("parts", "sitemap.xml");
  args.push_back("-justdoit");
  StartedProgram program = StartFolioscribe(args);
  auto secondPartBegun = [&] {
    for (const std::string& name : TemporaryFilesIn(Site()))
      if (name.starts_with(".sitemap-2.xml.")) return true;
    return false;
  };
  const ProgramOutput stopped = StopFolioscribeWhen(program, secondPartBegun, SIGTERM);
  EXPECT_EQ(stopped.signal, SIGTERM) << stopped.err;
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(ReadFileForTest(Map(names[i])), before[i]) << names[i];
  EXPECT_EQ(TemporaryFilesIn(Site()), Texts{});

  // 88,900 pages: two parts, and the third goes.
  const ProgramOutput dry = RunFolioscribe(
      {Site(), "-p", dir / "parts.folioscribe_options", "--exclude=/flat/", "--exclude=/s0/",
       "--exclude=/s1/", "--dry-run"});
  EXPECT_NE(dry.out.find(" (the index of 2 parts: "), std::string::npos) << dry.out;
  const ProgramOutput fewer =
      Run("parts", "sitemap.xml", {"--exclude=/flat/", "--exclude=/s0/", "--exclude=/s1/"});
  ASSERT_EQ(fewer.status, 0) << fewer.err;
  EXPECT_FALSE(std::ifstream(Map("sitemap-3.xml")));
  EXPECT_EQ(Count(ReadFileForTest(Map("sitemap-2.xml")), "<url>"), 38900u);
  EXPECT_EQ(Locations(ReadFileForTest(Map("sitemap.xml"))),
            (Texts{kSite + "sitemap-1.xml", kSite + "sitemap-2.xml"}));
}

TEST(SitemapParts, BundledProfileMapsASmallSiteAsBeforeInOneFile) {
  TempDir dir;
  std::filesystem::copy(std::string(FOLIOSCRIBE_SOURCE_DIR) + "/examples/site", dir / "site",
                        std::filesystem::copy_options::recursive);
  dir.Write("before.folioscribe_options",
            std::regex_replace(XmlSitemapProfile(), std::regex("nSitemapPartEntries=[0-9]*\r\n"), ""));
  dir.Write("now.folioscribe_options", XmlSitemapProfile());
  for (const char* profile : {"before", "now"})
    ASSERT_EQ(RunFolioscribe({dir / "site", "-p", dir / (std::string(profile) + ".folioscribe_options"),
                              "-o", dir / (std::string(profile) + ".xml"), "-justdoit"})
                  .status,
              0);
  EXPECT_EQ(ReadFileForTest(dir / "now.xml"), ReadFileForTest(dir / "before.xml"));
  EXPECT_EQ(NamesInForTest(dir.Path()),
            (Texts{"before.folioscribe_options", "before.xml", "now.folioscribe_options", "now.xml", "site"}));
}

TEST(SitemapParts, RobotsLineNeedsTheMapsAddressOnTheSite) {
  TempDir dir;
  dir.Write("site/a.html", "");
  dir.Write("p.folioscribe_options", XmlSitemapProfile());
  const Texts robots = {dir / "site", "-p", dir / "p.folioscribe_options", "--robots"};
  auto run = [&](Texts more) {
    more.insert(more.begin(), robots.begin(), robots.end());
    return RunFolioscribe(more);
  };
  ProgramOutput printed = run({"-o", dir / "site/maps/site.xml.gz", "--domain=https://e.org"});
  EXPECT_EQ(printed.out, "Sitemap: https://e.org/maps/site.xml.gz\n");
  EXPECT_EQ(printed.status, 0);
  EXPECT_EQ(NamesInForTest(dir / "site"), Texts{"a.html"});  // nothing made

  printed = run({"--domain="});
  EXPECT_EQ(printed.err, "folioscribe: no Sitemap line: the profile gives no domain; add --domain=URL\n");
  EXPECT_EQ(printed.status, 1);
  printed = run({"-o", dir / "elsewhere.xml", "-justdoit"});
  EXPECT_EQ(printed.err, "folioscribe: warning: the domain https://www.example.org/ is a placeholder: "
                         "set the site's own with --domain or in the profile\n"
                         "folioscribe: wrote " + dir / "elsewhere.xml" +
                             "\nfolioscribe: no Sitemap line: the map lies outside the start folder, "
                             "so it has no address on the site\n");
  EXPECT_EQ(printed.status, 1);
  EXPECT_EQ(run({"-o", "-", "-justdoit"}).status, 2);
}

}  // namespace
