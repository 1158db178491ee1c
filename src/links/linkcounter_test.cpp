#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "links/LinkCounter.h"
#include "links/link_oracle_test.h"
#include "log/TraceLog.h"
#include "platform/Program.h"
#include "tests/support/TempDir.h"

namespace {

std::string Anchors(const std::vector<std::string>& hrefs) {
  std::string page = "<html><title>t</title>\n";
  for (const std::string& href : hrefs) page += "<a href=\"" + href + "\">x</a>\n";
  return page;
}

// Crawls sites in a temporary folder, with the trace log in a folder of its own.
class Crawl : public testing::Test {
 protected:
  void SetUp() override {
    TraceLog::Instance().SetFolderForTesting(logs_.Path());
    TraceLog::Instance().ResetForTesting();
  }
  void TearDown() override {
    TraceLog::Instance().SetFolderForTesting("");
    TraceLog::Instance().ResetForTesting();
  }
  std::string Log() const {
    TraceLog::Instance().Flush();
    return ReadFileForTest(logs_ / (PathName(ProgramPath()) + ".MainThread.log"));
  }
  // `relative` below the site folder.
  std::string At(const std::string& relative) const { return relative.empty() ? site_.Path() : site_ / relative; }
  RunContext Context() const { return {site_.Path(), "http://www.x.org/"}; }

  TempDir site_;
  TempDir logs_;
  PageTitles titles_;
  std::vector<std::string> warnings_;
};

TEST_F(Crawl, CountsEveryLinkOfTheReachablePages) {
  site_.Build({
      {"index.htm", Anchors({"a.htm", "a.htm", "index.htm", "sub/", "empty/", "news.php", "sub/index.php",
                             "missing.htm", "A.htm", "b.htm#top"})},
      {"a.htm", Anchors({"b.htm"})},
      {"b.htm", Anchors({"a.htm", "/c.htm?x=1"})},
      {"c.htm", "<a name=\"c\">no links</a>"},
      {"sub/index.html", Anchors({"../deep.htm"})},
      {"deep.htm", ""},
      {"news.php", Anchors({"never.htm"})},
      {"orphan.htm", Anchors({"never.htm"})},
      {"empty/", ""},
  });
  LinkCountTable table;
  BuildPageRankInfo(At("index.htm"), table, Context(), titles_, warnings_);
  // "A.htm" is another file than "a.htm", and a missing one.
  const Pairs expected = {{At("a.htm"), 3},   {At(""), 1},           {At("sub"), 2},
                          {At("empty"), 1},   {At("news.php"), 1},   {At("missing.htm"), 1},
                          {At("A.htm"), 1},   {At("b.htm"), 2},      {At("c.htm"), 1},
                          {At("deep.htm"), 1}};
  EXPECT_EQ(AsPairs(table.Entries()), expected);

  table.Clear();
  CountSiteLinks(site_.Path(), Context(), table, titles_, warnings_);
  Pairs sorted = expected;
  std::stable_sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.second > b.second; });
  EXPECT_EQ(AsPairs(table.Entries()), sorted);

  const std::string log = Log();
  for (const std::string& line :
       {"Starting with:" + At("index.htm"), "BuildPageRankInfo()-found link:a.htm, abs:" + At("a.htm"),
        "BuildPageRankInfo()-found link:/c.htm?x=1, abs:" + At("c.htm"),
        "BuildPageRankInfo()-found link:../deep.htm, abs:" + At("deep.htm"),
        "Error:Couldn't open file:" + At("missing.htm")}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(log.find("never.htm"), std::string::npos);
}

TEST_F(Crawl, ReadsEachPageOnceWhateverTheSpellingAndStaysInTheSite) {
  site_.Build({
      {"outside.htm", Anchors({"never.htm"})},
      {"root/index.htm", Anchors({"sub/../a.htm", "/../outside.htm", "a.htm?next=http://x.org/"})},
      {"root/a.htm", Anchors({"sub/../a.htm", "./sub/.//../A.htm", "sub/%2e%2e/b.htm#http://y"})},
      {"root/b.htm", Anchors({"/sub/../../b.htm"})},
      {"root/sub/", ""},
  });
  const RunContext context{At("root"), "http://www.x.org/"};
  LinkCountTable table;
  BuildPageRankInfo(At("root/index.htm"), table, context, titles_, warnings_);
  // "./sub/.//../A.htm" climbs out of the empty segment only, as in a browser.
  EXPECT_EQ(AsPairs(table.Entries()), Pairs({{At("root/a.htm"), 3},
                                             {At("root/outside.htm"), 1},
                                             {At("root/sub/A.htm"), 1},
                                             {At("root/b.htm"), 2}}));
  const std::string log = Log();
  EXPECT_NE(log.find("Error:Couldn't open file:" + At("root/outside.htm")), std::string::npos);
  EXPECT_EQ(log.find("never.htm"), std::string::npos);
  // Once on index.htm, once on a.htm.
  const std::string line = "found link:sub/../a.htm";
  size_t reads = 0;
  for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++reads;
  EXPECT_EQ(reads, 2u);
}

// Sees the crawl, which makes it read each page as it gets there.
class Onlooker : public CrawlObserver {
 public:
  void PageRead(const std::string&, const std::string&) override {}
  void LinkFound(const LinkInfo&, const ResolvedLink&) override {}
};

TEST_F(Crawl, ReadsWhatTheListingBeforeTheCrawlMisses) {
  TempDir elsewhere;
  elsewhere.Build({{"a.htm", Anchors({"../b.htm", "c.htm"})}, {"c.htm", Anchors({"/d.htm", "a.htm"})}});
  site_.Build({
      {"index.htm", Anchors({"linked/a.htm", "dir.html", "sub/", "b.htm", "sub/index.htm"})},
      {"b.htm", Anchors({"sub", "index.htm#x"})},
      {"dir.html/index.html", Anchors({"../d.htm"})},
      {"sub/index.htm", Anchors({"../d.htm", "../x.htm"})},
      {"d.htm", ""},
  });
  // The listing does not go through links to folders; the crawl does.
  std::filesystem::create_directory_symlink(elsewhere.Path(), At("linked"));
  Onlooker onlooker;
  struct Run {
    int jobs;
    CrawlObserver* observer;
  };
  // The links counted, and the log's lines about them (those it could hold, and how many not).
  const auto crawl = [&](const Run& run) {
    TraceLog::Instance().ResetForTesting();
    CrawlOptions options;
    options.jobs = run.jobs;
    options.observer = run.observer;
    LinkCountTable table;
    BuildPageRankInfo(At("index.htm"), table, Context(), titles_, warnings_, options);
    TraceLog::Instance().ResetForTesting();
    std::vector<std::string> lines;
    std::istringstream log(Log());
    for (std::string line; std::getline(log, line);) {
      const size_t text = std::min(line.find("found link:"), line.find("lines left out"));
      if (text != std::string::npos) lines.push_back(line.substr(text, line.find(" (", text) - text));
    }
    return std::make_pair(AsPairs(table.Entries()), lines);
  };
  std::vector<std::pair<Pairs, std::vector<std::string>>> results;
  for (const uint64_t logLimit : {0, 1500}) {
    TraceLog::Instance().SetFileLimitForTesting(logLimit);
    const auto one = crawl({1, nullptr});
    EXPECT_EQ(crawl({4, nullptr}), one) << "with four threads, log limit " << logLimit;
    EXPECT_EQ(crawl({1, &onlooker}), one) << "read as the crawl goes, log limit " << logLimit;
    results.push_back(one);
  }
  TraceLog::Instance().SetFileLimitForTesting(0);
  // The pages behind the link and the folder named like a page were read.
  const Pairs expected = {{At("linked/a.htm"), 2}, {At("dir.html"), 1}, {At("sub"), 3},
                          {At("b.htm"), 2},        {At("linked/c.htm"), 1}, {At(""), 1},
                          {At("d.htm"), 3},        {At("x.htm"), 1}};
  EXPECT_EQ(results[0].first, expected);
  EXPECT_EQ(results[0].second.size(), 14u);
  EXPECT_EQ(results[1].first, expected);
  ASSERT_GT(results[1].second.size(), 1u);
  EXPECT_LT(results[1].second.size(), 14u);
  EXPECT_EQ(results[1].second.back().rfind("lines left out: ", 0), 0u) << results[1].second.back();
}

TEST_F(Crawl, GoesDepthFirstInAnchorOrder) {
  site_.Build({{"index.htm", Anchors({"a.htm", "b.htm"})},
               {"a.htm", Anchors({"c.htm"})},
               {"c.htm", Anchors({"e.htm"})},
               {"b.htm", Anchors({"d.htm"})}});
  LinkCountTable table;
  CountSiteLinks(site_.Path(), Context(), table, titles_, warnings_);
  EXPECT_EQ(AsPairs(table.Entries()),
            Pairs({{At("a.htm"), 1}, {At("b.htm"), 1}, {At("c.htm"), 1}, {At("e.htm"), 1}, {At("d.htm"), 1}}));
}

TEST_F(Crawl, RemembersTheTitlesOfThePagesItReads) {
  site_.Build({{"index.htm", "<title>Home</title>" + Anchors({"a.htm"})},
               {"a.htm", "<title>A</title>"},
               {"orphan.htm", "<title>Orphan</title>"}});
  LinkCountTable table;
  CountSiteLinks(site_.Path(), Context(), table, titles_, warnings_);
  // Gone from the disk, yet known: the crawl read them.
  ASSERT_TRUE(DeleteFile(At("index.htm")) && DeleteFile(At("a.htm")));
  EXPECT_EQ(titles_.Of(At("index.htm")), "Home");
  EXPECT_EQ(titles_.Of(At("a.htm")), "A");
  // A page the crawl did not reach is read when asked for.
  EXPECT_EQ(titles_.Of(At("orphan.htm")), "Orphan");
  EXPECT_EQ(titles_.Of(At("missing.htm")), "");

  // Not asked for titles, it remembers none.
  site_.Build({{"index.htm", "<title>Home</title>" + Anchors({"a.htm"})}, {"a.htm", "<title>A</title>"}});
  PageTitles untouched;
  CrawlOptions noTitles;
  noTitles.titles = false;
  CountSiteLinks(site_.Path(), Context(), table, untouched, warnings_, noTitles);
  ASSERT_TRUE(DeleteFile(At("a.htm")));
  EXPECT_EQ(untouched.Of(At("a.htm")), "");
}

TEST_F(Crawl, FollowsALongChainOfPages) {
  constexpr int kPages = 5000;
  // Deeper than a recursive crawl's call stack would go.
  for (int i = 0; i < kPages; ++i)
    std::ofstream(At("p" + std::to_string(i) + ".htm")) << Anchors({"p" + std::to_string((i + 1) % kPages) + ".htm"});
  TraceLog::Instance().SetLogOff(true);
  LinkCountTable table;
  BuildPageRankInfo(At("p0.htm"), table, Context(), titles_, warnings_);
  TraceLog::Instance().SetLogOff(false);
  ASSERT_EQ(table.Entries().size(), static_cast<size_t>(kPages));
  EXPECT_EQ(table.Entries().back().key, At("p0.htm"));
  for (const LinkCountEntry& entry : table.Entries()) EXPECT_EQ(entry.count, 1) << entry.key;

  // Cancelled, every thread stops, also one that waits to hand over more pages.
  for (const int jobs : {1, 2, 4}) {
    RunControl control;
    control.onProgress = [&control](const RunProgress& progress) { control.cancel = progress.pages == 10; };
    CrawlOptions options;
    options.control = &control;
    options.jobs = jobs;
    LinkCountTable cancelled;
    BuildPageRankInfo(At("p0.htm"), cancelled, Context(), titles_, warnings_, options);
    EXPECT_EQ(control.progress.pages, 10) << jobs << " threads";
    EXPECT_EQ(cancelled.Entries().size(), 10u) << jobs << " threads";
  }
}

TEST_F(Crawl, ChoosesTheStartPage) {
  const struct {
    std::map<std::string, std::string> site;
    const char* start;
  } cases[] = {
      {{{"index.html", ""}, {"index.htm", ""}, {"index.php", ""}}, "index.htm"},
      {{{"index.php", ""}, {"index.html", ""}}, "index.html"},
      {{{"index.php", ""}, {"a.htm", ""}}, "index.php"},
      {{{"index.php/", ""}, {"a.htm", ""}}, "index.php"},
      {{{"a.htm/", ""}, {"a.txt", ""}, {"c.htm", ""}, {"b.HTML", ""}}, "b.HTML"},
      {{{"x.shtml", ""}, {"sub/a.htm", ""}}, "index.php"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.Build(c.site);
    EXPECT_EQ(ChooseStartPage(dir.Path()), dir / c.start);
  }
}

// A site of pages that link at random: relative, from the root, up, in other letter case,
// with fragments and queries, to folders, to missing pages and outside addresses.
std::map<std::string, std::string> RandomSite(std::mt19937& random) {
  static const char* const folders[] = {"", "d/", "d/e/", "D2/"};
  static const char* const targets[] = {
      "p1.htm", "P2.htm", "p3.html#x", "p4.htm?q=1", "../p5.htm", "../../p6.html", "e/p7.htm", "d/",
      "d/e", "D2/index.html", "/d/p8.htm", "/D2/", "/", "", "#top", "nope.htm", "mailto:x@y",
      "http://www.x.org/d/p1.htm", "https://x.org/p9.html", "//cdn/p1.htm", "index.htm", "./p0.htm",
      "e/../p1.htm", "/../P2.htm", ".//d/./p3.html", "../d/%2e%2E/p4.htm?u=http://x/"};
  std::map<std::string, std::string> site;
  for (const char* folder : folders) {
    for (int i = 0; i < 12; ++i) {
      std::vector<std::string> hrefs;
      for (size_t n = 3 + random() % 10; n > 0; --n) hrefs.push_back(targets[random() % std::size(targets)]);
      const std::string name = (i == 11 ? std::string("index") : "p" + std::to_string(i)) + (i % 3 ? ".htm" : ".html");
      site[std::string(folder) + name] = Anchors(hrefs);
    }
  }
  return site;
}

// Every file and folder below `folder`, as the site map asks for them.
void CollectPaths(const std::string& folder, std::vector<std::string>& paths) {
  paths.push_back(folder);
  for (const FolderEntry& entry : ListFolder(folder).value_or(std::vector<FolderEntry>{})) {
    if (entry.status.isFolder) CollectPaths(folder + "/" + entry.name, paths);
    else paths.push_back(folder + "/" + entry.name);
  }
}

TEST_F(Crawl, MatchesTheLinearCrawlOnRandomSites) {
  TraceLog::Instance().SetLogOff(true);
  for (uint32_t seed = 1; seed <= 25; ++seed) {
    std::mt19937 random(seed);
    TempDir dir;
    dir.Build(RandomSite(random));
    const RunContext context{dir.Path() + "/", "http://www.x.org/"};
    const std::string start = ChooseStartPage(dir.Path());
    std::vector<LinkCountEntry> reference;
    std::vector<std::string> visited;
    oracle::Crawl(start, reference, visited, context);
    // The entries come in the order first linked: with more threads, the pages are counted
    // in the same order.
    for (const int jobs : {2, 4}) {
      CrawlOptions options;
      options.jobs = jobs;
      LinkCountTable table;
      BuildPageRankInfo(start, table, context, titles_, warnings_, options);
      ASSERT_EQ(AsPairs(table.Entries()), AsPairs(reference)) << "seed " << seed << ", " << jobs << " threads";
    }
    LinkCountTable table;
    BuildPageRankInfo(start, table, context, titles_, warnings_);
    ASSERT_EQ(AsPairs(table.Entries()), AsPairs(reference)) << "seed " << seed;
    SortLinkCounts(table);
    oracle::Sort(reference);
    ASSERT_EQ(AsPairs(table.Entries()), AsPairs(reference)) << "seed " << seed;
    std::vector<std::string> paths;
    CollectPaths(dir.Path(), paths);
    for (const std::string& path : paths) {
      for (const bool sumBelow : {false, true})
        ASSERT_EQ(LinkCountOf(path, table, context, sumBelow), oracle::CountOf(path, reference, context, sumBelow))
            << "seed " << seed << " " << path;
    }
  }
  TraceLog::Instance().SetLogOff(false);
}

TEST_F(Crawl, KeepsItsOrderOnASiteOfManyLinksAPage) {
  // Far more links stacked than pages, most of them to pages stacked or read before.
  std::mt19937 random(7);
  constexpr int kPages = 400;
  std::map<std::string, std::string> site;
  for (int i = 0; i < kPages; ++i) {
    std::vector<std::string> hrefs;
    for (int n = 0; n < 80; ++n) hrefs.push_back("p" + std::to_string(random() % kPages) + ".htm");
    site["p" + std::to_string(i) + ".htm"] = Anchors(hrefs);
  }
  site_.Build(site);
  TraceLog::Instance().SetLogOff(true);
  std::vector<LinkCountEntry> reference;
  std::vector<std::string> visited;
  oracle::Crawl(At("p0.htm"), reference, visited, Context());
  LinkCountTable table;
  BuildPageRankInfo(At("p0.htm"), table, Context(), titles_, warnings_);
  TraceLog::Instance().SetLogOff(false);
  EXPECT_EQ(AsPairs(table.Entries()), AsPairs(reference));
}

TEST_F(Crawl, LeavesOutPagesLargerThanTheLimit) {
  site_.Build({{"index.htm", Anchors({"big.htm", "small.htm"})},
               {"big.htm", Anchors({"from-big.htm"}) + std::string(100, ' ')},
               {"small.htm", Anchors({"from-small.htm"})}});
  RunContext context = Context();
  context.maxPageBytes = 100;
  LinkCountTable table;
  BuildPageRankInfo(At("index.htm"), table, context, titles_, warnings_);
  EXPECT_EQ(AsPairs(table.Entries()),
            Pairs({{At("big.htm"), 1}, {At("small.htm"), 1}, {At("from-small.htm"), 1}}));
  EXPECT_NE(Log().find("Not read, larger than nMaxPageBytes=100:" + At("big.htm")), std::string::npos);
}

}  // namespace
