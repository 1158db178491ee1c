#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "LinkServer.h"
#include "ProgramRunner.h"
#include "tests/support/NeededTool.h"
#include "tests/support/TempDir.h"

namespace {

// A site whose one page links the test server's every behaviour.
class ExternalCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_TOOL("python3");
    SKIP_WITHOUT_TOOL("openssl");
    ASSERT_TRUE(server.Running()) << server.Problem();
  }
  // The page `links` (one a line, after a first line) as index.html of the site.
  void Page(const std::vector<std::string>& links) {
    std::string page = "<html><body>\n";
    for (const std::string& link : links) page += "<a href=\"" + link + "\">x</a>\n";
    dir.Write("site/index.html", page);
  }
  ProgramOutput Check(std::vector<std::string> flags) {
    flags.insert(flags.begin(), {dir / "site", "--check", "--check-external"});
    RunOptions options;
    options.environment = {{"XDG_CACHE_HOME", dir / "cache"}};
    return RunFolioscribe(flags, options);
  }
  std::string Web(int host, const std::string& path) { return server.Http(host) + path; }

  TempDir dir;
  LinkServer server{3, dir.MakeFolder("tls")};
};

TEST_F(ExternalCheckTest, FindsExactlyTheBrokenAddressesAfterRetries) {
  Page({Web(1, "/ok"), "HTTP://127.0.0.1:" + std::to_string(server.Port()) + "/ok#top",
        Web(1, "/missing"), Web(2, "/gone"), Web(2, "/flaky"), Web(2, "/busy"), Web(3, "/moved"),
        Web(3, "/loop-a"), Web(3, "/no-head"), server.Https() + "/ok", "http://127.0.0.4:1/ok",
        "http://no-such-host.invalid/", Web(1, "/slow"), Web(1, "/always500"),
        "mailto:me@example.org", "mailto:not an address", "tel:+123", "javascript:void(0)",
        "ftp://example.org/"});
  const ProgramOutput run = Check({"--timeout=1"});
  EXPECT_EQ(
      run.out,
      "index.html:4: broken external link \"" + Web(1, "/missing") +
          "\" (404 Not Found)\n"
          "index.html:5: broken external link \"" +
          Web(2, "/gone") +
          "\" (410 Gone)\n"
          "index.html:8: redirected \"" +
          Web(3, "/moved") + "\" to \"" + Web(3, "/ok") +
          "\"\n"
          "index.html:9: broken external link \"" +
          Web(3, "/loop-a") +
          "\" (redirect loop)\n"
          "index.html:11: broken external link \"" +
          server.Https() +
          "/ok\" (certificate: self-signed certificate)\n"
          "index.html:12: broken external link \"http://127.0.0.4:1/ok\" (could not connect: "
          "Connection refused)\n"
          "index.html:13: broken external link \"http://no-such-host.invalid/\" (host not found)\n"
          "index.html:14: broken external link \"" +
          Web(1, "/slow") +
          "\" (timed out after 1 s)\n"
          "index.html:15: broken external link \"" +
          Web(1, "/always500") +
          "\" (500 Internal Server Error)\n"
          "index.html:17: bad mail link \"mailto:not an address\"\n");
  EXPECT_NE(
      run.err.find(
          ", 19 external links checked (13 URLs requested, 0 from the cache, 0 excluded, "
          "2 mail links, 3 of other schemes skipped): 0 broken links, 0 missing anchors, 0 "
          "orphans, "
          "8 broken external links, 1 redirected, 1 bad mail link in "),
      std::string::npos)
      << run.err;
  EXPECT_EQ(run.status, 1);

  std::map<std::string, int> requests = server.Requests();
  EXPECT_EQ(requests["127.0.0.1 HEAD /ok"], 1);         // both spellings are one address
  EXPECT_EQ(requests["127.0.0.2 HEAD /flaky"], 2);      // a retry heals it
  EXPECT_EQ(requests["127.0.0.2 HEAD /busy"], 2);       // after its Retry-After
  EXPECT_EQ(requests["127.0.0.1 HEAD /always500"], 3);  // retried twice, then reported
  EXPECT_EQ(requests["127.0.0.1 HEAD /slow"], 3);
  EXPECT_EQ(requests["127.0.0.3 HEAD /no-head"], 1);
  EXPECT_EQ(requests["127.0.0.3 GET /no-head"], 1);
  EXPECT_EQ(requests["127.0.0.3 HEAD /loop-a"], 1);
}

TEST_F(ExternalCheckTest, FallsBackToGetFollowsTenRedirectsAndSendsItsHeaders) {
  Page({Web(1, "/head-drops"), Web(1, "/chain/10"), Web(1, "/chain/11"), Web(2, "/agent")});
  const ProgramOutput run = Check({"--header=X-Test: yes"});
  EXPECT_EQ(run.out, "index.html:4: broken external link \"" + Web(1, "/chain/11") +
                         "\" (more than 10 redirects)\n");
  std::map<std::string, int> requests = server.Requests();
  EXPECT_EQ(requests["127.0.0.1 HEAD /head-drops"], 1);
  EXPECT_EQ(requests["127.0.0.1 GET /head-drops"], 1);
  EXPECT_EQ(requests["127.0.0.1 HEAD /chain/1"], 2);
  EXPECT_EQ(requests["127.0.0.1 HEAD /chain/0"], 1);  // the eleventh redirect is not followed
  EXPECT_EQ(requests["127.0.0.2 HEAD /agent"], 1);

  server.Reset();
  Page({Web(2, "/agent")});
  EXPECT_EQ(Check({}).out,
            "index.html:2: broken external link \"" + Web(2, "/agent") + "\" (403 Forbidden)\n");
}

TEST_F(ExternalCheckTest, FindingsAsJson) {
  Page({Web(1, "/missing#part"), Web(3, "/moved"), "http://127.0.0.4:1/"});
  const ProgramOutput run = Check({"--format=json"});
  EXPECT_EQ(
      run.out,
      "{\"kind\": \"broken external link\", \"page\": \"index.html\", \"line\": 2, \"href\": \"" +
          Web(1, "/missing#part") + "\", \"status\": 404, \"reason\": \"Not Found\", \"url\": \"" +
          Web(1, "/missing") + "\", \"final_url\": \"" + Web(1, "/missing") +
          "\"}\n"
          "{\"kind\": \"redirected\", \"page\": \"index.html\", \"line\": 3, \"href\": \"" +
          Web(3, "/moved") + "\", \"status\": 200, \"reason\": \"OK\", \"url\": \"" +
          Web(3, "/moved") + "\", \"final_url\": \"" + Web(3, "/ok") +
          "\"}\n"
          "{\"kind\": \"broken external link\", \"page\": \"index.html\", \"line\": 4, \"href\": "
          "\"http://127.0.0.4:1/\", \"status\": 0, \"reason\": \"could not connect: Connection "
          "refused\", "
          "\"url\": \"http://127.0.0.4:1/\", \"final_url\": \"http://127.0.0.4:1/\"}\n");
}

TEST_F(ExternalCheckTest, GroupedSummaryNamesEachFailingAddressOnce) {
  Page({"a.html", Web(1, "/missing"), Web(1, "/missing#again"), "mailto:nobody", Web(3, "/moved")});
  dir.Write("site/a.html", "<a href=\"" + Web(1, "/missing") + "\">x</a>");
  EXPECT_EQ(Check({"--format=summary"}).out,
            Web(1, "/missing") + ": 404 Not Found, linked 3 times from 2 pages (first: a.html:1)\n" +
                Web(3, "/moved") + ": moved to " + Web(3, "/ok") +
                ", linked 1 time from 1 page (first: index.html:6)\n"
                "mailto:nobody: bad mail link, linked 1 time from 1 page (first: index.html:5)\n");
  EXPECT_EQ(server.Requests()["127.0.0.1 HEAD /missing"], 1);
}

TEST_F(ExternalCheckTest, KeepsToTheConnectionLimitPerHost) {
  std::vector<std::string> links;
  for (int i = 0; i < 12; ++i) links.push_back(Web(1, "/wait" + std::to_string(i)));
  for (int i = 0; i < 12; ++i) links.push_back(Web(2, "/wait" + std::to_string(i)));
  Page(links);
  EXPECT_EQ(Check({"--host-connections=2"}).status, 0);
  std::map<std::string, int> most = server.MostUnderWay();
  EXPECT_GE(most["127.0.0.1"], 1);
  EXPECT_LE(most["127.0.0.1"], 2);
  EXPECT_LE(most["127.0.0.2"], 2);

  server.Reset();
  links.clear();
  for (int i = 0; i < 12; ++i) links.push_back(Web(3, "/wait" + std::to_string(i)));
  Page(links);
  EXPECT_EQ(Check({}).status, 0);
  EXPECT_LE(server.MostUnderWay()["127.0.0.3"], 4);
  EXPECT_EQ(server.Requests().size(), 12u);
}

TEST_F(ExternalCheckTest, CacheSparesGoodAddressesTheSecondTime) {
  Page({Web(1, "/ok"), Web(2, "/ok"), Web(1, "/missing")});
  EXPECT_EQ(Check({"--cache"}).status, 1);
  server.Reset();
  const ProgramOutput second = Check({"--cache"});
  EXPECT_EQ(second.out,
            "index.html:4: broken external link \"" + Web(1, "/missing") + "\" (404 Not Found)\n");
  EXPECT_NE(second.err.find("(1 URL requested, 2 from the cache,"), std::string::npos)
      << second.err;
  // Failures are never kept: only the broken address is asked again.
  EXPECT_EQ(server.Requests(), (std::map<std::string, int>{{"127.0.0.1 HEAD /missing", 1}}));

  server.Reset();
  Check({"--cache", "--max-cache-age=0"});
  EXPECT_EQ(server.Requests().size(), 3u);
  server.Reset();
  Check({});
  EXPECT_EQ(server.Requests().size(), 3u);  // without --cache the cache is not read
}

TEST_F(ExternalCheckTest, ExclusionsAndAcceptedStatuses) {
  Page({Web(1, "/missing"), Web(2, "/gone"), Web(3, "/always500")});
  dir.Write("p.folioscribe_options",
            "[GENERAL]\r\nsStartDirectoryPath=\r\n[MORE_OPTIONS]\r\nExcludeUrls=^http\\://127\\.0\\.0\\.3\\:\r\n");
  const ProgramOutput run =
      Check({"--exclude-url=/gone$", "-p", dir / "p.folioscribe_options", "--accept=200..299,404"});
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("(1 URL requested, 0 from the cache, 2 excluded,"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(server.Requests(), (std::map<std::string, int>{{"127.0.0.1 HEAD /missing", 1}}));
}

// The file the dynamic loader opens for `soname`, as the program would; empty when none.
std::string LoaderFileOf(const char* soname) {
  void* handle = dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
  if (!handle) return "";
  link_map* map = nullptr;
  std::string file;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0) file = map->l_name;
  dlclose(handle);
  return file;
}

TEST(ExternalCheckWithoutLibcurl, SaysSoAndChecksTheRest) {
  // libcurl hidden behind an empty file, in a mount namespace of the program's own.
  const std::string libcurl = LoaderFileOf("libcurl.so.4");
  ASSERT_FALSE(libcurl.empty()) << "libcurl.so.4 is not installed (scripts/install-deps does it)";
  if (std::system("unshare -rm true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no mount namespace can be made here (unshare -rm)";
  TempDir dir;
  dir.Write("site/index.html", "<a href=\"http://127.0.0.1:1/\">x</a><a href=\"none.html\">y</a>");
  RunOptions options;
  options.wrapper = {"unshare", "-rm", "sh", "-c", "mount --bind /dev/null \"$0\" && exec \"$@\"",
                     libcurl};
  const ProgramOutput run = RunFolioscribe({dir / "site", "--check", "--check-external"}, options);
  EXPECT_EQ(run.out, "index.html:1: broken link \"none.html\" (none.html does not exist)\n");
  EXPECT_EQ(run.err.rfind("folioscribe: External links not checked: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("libcurl.so.4"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("1 external link seen (not checked)"), std::string::npos) << run.err;
  EXPECT_EQ(run.status, 1);
}

TEST_F(ExternalCheckTest, PermanentRedirectFailsOnlyWhenStrict) {
  Page({Web(3, "/moved")});
  EXPECT_EQ(Check({}).status, 0);
  EXPECT_EQ(Check({"--strict"}).status, 1);
}

TEST(ExternalCheckOptionsTest, UsageProblems) {
  const struct {
    std::vector<std::string> args;
    const char* problem;
  } cases[] = {
      {{"--check-external"}, "--check-external goes with --check"},
      {{"--check", "--accept=200-299"},
       "--accept takes statuses and ranges such as 200..299,403, not \"200-299\""},
      {{"--check", "--exclude-url=a(b"}, "--exclude-url: bad pattern \"a(b\": "},
      {{"--check", "--host-connections=0"},
       "--host-connections takes a number from 1 to 1000, not \"0\""},
      {{"--check", "--timeout=soon"}, "--timeout takes a number from 1 to 3600, not \"soon\""},
      {{"--check", "--header=NoColon"}, "--header takes 'Name: value', not \"NoColon\""},
      {{"--check", "--max-cache-age=1y"},
       "--max-cache-age takes seconds or a number with s, m, h or d, not \"1y\""},
  };
  for (const auto& c : cases) {
    const ProgramOutput run = RunFolioscribe(c.args);
    EXPECT_EQ(run.status, 2) << c.problem;
    EXPECT_EQ(run.err.rfind(std::string("folioscribe: ") + c.problem, 0), 0u) << run.err;
  }
}

}  // namespace
