#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <deque>
#include <functional>

#include "platform/FileSystem.h"
#include "platform/ReplacementFile.h"
#include "sitemap/MapParts.h"
#include "sitemap/MapSplitter.h"
#include "sitemap/OutputFile.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/TempDir.h"

namespace {

TEST(MapParts, PartsAreNumberedBeforeTheExtensionsAndKnownByThatName) {
  const struct {
    const char* output;
    const char* part2;
  } names[] = {{"/m/sitemap.xml", "/m/sitemap-2.xml"},
               {"/m/sitemap.XML.gz", "/m/sitemap-2.XML.gz"},
               {"https://e.org/a.b/sitemap.xml.gz", "https://e.org/a.b/sitemap-2.xml.gz"},
               {"/a.b/map", "/a.b/map-2"},
               {"map.gz", "map-2.gz"}};
  for (const auto& n : names) EXPECT_EQ(MapPartPath(n.output, 2), n.part2) << n.output;

  const struct {
    const char* path;
    bool part;
  } paths[] = {{"/m/sitemap-1.xml", true},     {"/m/sitemap-120.xml", true},
               {"/m/sitemap.xml", false},      {"/m/sitemap-0.xml", false},
               {"/m/sitemap-01.xml", false},   {"/m/sitemap-.xml", false},
               {"/m/sitemap-1a.xml", false},   {"/m/sitemap-1.xml.gz", false},
               {"/m/other-1.xml", false},      {"/n/sitemap-1.xml", false},
               {"/m/sitemap-1-2.xml", false}};
  for (const auto& p : paths) EXPECT_EQ(IsMapPartPath(p.path, "/m/sitemap.xml"), p.part) << p.path;

  EXPECT_TRUE(IsXmlMapPath("/m/a.Xml") && IsXmlMapPath("/m/a.xml.GZ"));
  EXPECT_FALSE(IsXmlMapPath("/m/a.html") || IsXmlMapPath("/m/a.html.gz") || IsXmlMapPath("/m/xml"));
  EXPECT_TRUE(IsGzipPath("/m/a.html.gz") && !IsGzipPath("/m/a.gzip"));
}

TEST(MapParts, AddressesAreTheDomainAndThePathFromTheStartFolder) {
  EXPECT_EQ(SiteUrlOf("/s/maps/a b.xml", "/s", "https://e.org//"), "https://e.org/maps/a%20b.xml");
  EXPECT_EQ(SiteUrlOf("/t/a.xml", "/s", "https://e.org"), "");
  EXPECT_EQ(SitemapIndexText({{"https://e.org/m-1.xml?a&b", 0}}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
            "<sitemap>\n  <loc>https://e.org/m-1.xml?a&amp;b</loc>\n</sitemap>\n"
            "</sitemapindex>\n");
  const std::string dated = SitemapIndexText({{"https://e.org/m-1.xml", 1700000000}});
  EXPECT_NE(dated.find("  <lastmod>2023-11-1"), std::string::npos) << dated;  // 14 or 15: the zone's
}

// Keeps every part in memory and notes which were ended.
class MemoryStore : public PartStore {
 public:
  TextSink* BeginPart(int number) override {
    EXPECT_EQ(number, static_cast<int>(parts.size()) + 1);
    parts.emplace_back();
    return &parts.back();
  }
  void EndPart(int number) override { ended.push_back(number); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const StringSink& part : parts) texts.push_back(part.text);
    return texts;
  }
  std::deque<StringSink> parts;
  std::vector<int> ended;
};

using Texts = std::vector<std::string>;

// The pieces of a small map: a folder without text, three files, a Level up text.
void PutMap(MapSink& out) {
  out.WillEndWith("E");
  out.Put(MapPart::Start, "S", 0);
  out.Put(MapPart::Folder, "", 3);
  out.Put(MapPart::File, "a", 5);
  out.Put(MapPart::LevelUp, "]", 0);
  out.Put(MapPart::File, "bb", 9);
  out.Put(MapPart::File, "c", 7);
  out.Put(MapPart::End, "E", 0);
}

TEST(MapSplitter, CutsBetweenEntriesWithinBothLimits) {
  MemoryStore store;
  MapSplitter byEntries({.entries = 2}, store);
  PutMap(byEntries);
  byEntries.Finish();
  EXPECT_EQ(store.Texts(), (Texts{"Sa]bbE", "ScE"}));
  EXPECT_EQ(store.ended, (std::vector<int>{1, 2}));
  ASSERT_EQ(byEntries.Parts().size(), 2u);
  EXPECT_EQ(byEntries.Parts()[0].entries, 2);
  EXPECT_EQ(byEntries.Parts()[0].newest, 9);
  EXPECT_EQ(byEntries.Parts()[1].newest, 7);
  EXPECT_EQ(byEntries.Parts()[1].bytes, 3);
  // Only a map that may be cut dates its parts.
  EXPECT_TRUE(byEntries.UsesTimes());
  EXPECT_TRUE(MapSplitter({.bytes = 100}, store).UsesTimes());
  EXPECT_FALSE(MapSplitter({}, store).UsesTimes());

  // The End text counts ("Sa]" with "bb" and "E" makes 6 bytes); an entry alone may pass.
  for (const auto& [bytes, texts] : {std::pair{int64_t{4}, Texts{"Sa]E", "SbbE", "ScE"}},
                                     std::pair{int64_t{5}, Texts{"Sa]E", "SbbcE"}},
                                     std::pair{int64_t{6}, Texts{"Sa]bbE", "ScE"}},
                                     std::pair{int64_t{1}, Texts{"Sa]E", "SbbE", "ScE"}}}) {
    MemoryStore sized;
    MapSplitter splitter({.bytes = bytes}, sized);
    PutMap(splitter);
    splitter.Finish();
    EXPECT_EQ(sized.Texts(), texts) << bytes;
  }

  MemoryStore whole;
  MapSplitter unlimited({}, whole);
  PutMap(unlimited);
  unlimited.Finish();
  EXPECT_EQ(whole.Texts(), Texts{"Sa]bbcE"});

  MemoryStore empty;
  MapSplitter nothing({.entries = 1}, empty);
  nothing.Finish();
  EXPECT_EQ(empty.Texts(), Texts{""});
  EXPECT_EQ(empty.ended, std::vector<int>{1});
}

// A map of `entries` files "<u>N</u>" framed by "<s>" and "</s>".
std::function<bool(MapSink&)> Entries(int entries) {
  return [entries](MapSink& out) {
    out.WillEndWith("</s>");
    out.Put(MapPart::Start, "<s>", 0);
    for (int i = 1; i <= entries; ++i) out.Put(MapPart::File, "<u>" + std::to_string(i) + "</u>", 0);
    out.Put(MapPart::End, "</s>", 0);
    return true;
  };
}

std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
  std::vector<std::string> found;
  for (const std::string& name : NamesInForTest(folder))
    if (IsTemporaryFileName(name)) found.push_back(name);
  return found;
}

class MapFileSetTest : public ::testing::Test {
 protected:
  int Write(int entries) {
    return WriteOutputFile(dir / "s/map.xml", {2, "https://e.org/map.xml"}, Entries(entries), sink);
  }
  std::string Index(int parts) const {
    std::vector<MapPartEntry> entries;
    for (int i = 1; i <= parts; ++i) entries.push_back({"https://e.org/map-" + std::to_string(i) + ".xml", 0});
    return SitemapIndexText(entries);
  }
  TempDir dir;
  RecordingSink sink;
};

TEST_F(MapFileSetTest, SetIsReplacedWholeAndPartsNoLongerNeededGo) {
  dir.MakeFolder("s");
  EXPECT_EQ(Write(5), 3);
  EXPECT_EQ(NamesInForTest(dir / "s"), (Texts{"map-1.xml", "map-2.xml", "map-3.xml", "map.xml"}));
  EXPECT_EQ(ReadFileForTest(dir / "s/map-1.xml"), "<s><u>1</u><u>2</u></s>");
  EXPECT_EQ(ReadFileForTest(dir / "s/map-3.xml"), "<s><u>5</u></s>");
  EXPECT_EQ(ReadFileForTest(dir / "s/map.xml"), Index(3));

  EXPECT_EQ(Write(3), 2);
  EXPECT_EQ(NamesInForTest(dir / "s"), (Texts{"map-1.xml", "map-2.xml", "map.xml"}));
  EXPECT_EQ(ReadFileForTest(dir / "s/map-2.xml"), "<s><u>3</u></s>");

  // Fitting one file, the map is that file again.
  EXPECT_EQ(Write(2), 1);
  EXPECT_EQ(NamesInForTest(dir / "s"), Texts{"map.xml"});
  EXPECT_EQ(ReadFileForTest(dir / "s/map.xml"), "<s><u>1</u><u>2</u></s>");
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MapFileSetTest, PartThatCannotBeMadeLeavesTheOldSet) {
  dir.MakeFolder("s");
  ASSERT_EQ(Write(5), 3);
  ASSERT_TRUE(DeleteFile(dir / "s/map-3.xml"));
  dir.MakeFolder("s/map-3.xml");
  EXPECT_EQ(Write(6), 0);
  EXPECT_EQ(sink.messages, Texts{"Couldn't create output file:" + dir / "s/map-3.xml" + " (not a regular file)"});
  EXPECT_EQ(ReadFileForTest(dir / "s/map-1.xml"), "<s><u>1</u><u>2</u></s>");
  EXPECT_EQ(ReadFileForTest(dir / "s/map.xml"), Index(3));
  EXPECT_TRUE(TemporaryFilesIn(dir / "s").empty());
}

TEST_F(MapFileSetTest, SignalWhileWritingPartTwoLeavesTheOldSetAndNoTemporaryFile) {
  dir.MakeFolder("s");
  ASSERT_EQ(Write(5), 3);
  const Texts before = {ReadFileForTest(dir / "s/map.xml"), ReadFileForTest(dir / "s/map-1.xml"),
                        ReadFileForTest(dir / "s/map-2.xml"), ReadFileForTest(dir / "s/map-3.xml")};
  const pid_t child = fork();
  if (child == 0) {
    WriteOutputFile(dir / "s/map.xml", {2, "https://e.org/map.xml"},
                    [](MapSink& out) {
                      Entries(3)(out);  // the first two map files begun
                      raise(SIGTERM);
                      return true;
                    },
                    sink);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ((Texts{ReadFileForTest(dir / "s/map.xml"), ReadFileForTest(dir / "s/map-1.xml"),
                   ReadFileForTest(dir / "s/map-2.xml"), ReadFileForTest(dir / "s/map-3.xml")}),
            before);
  EXPECT_TRUE(TemporaryFilesIn(dir / "s").empty());
}

// The first entry of a map file: the generation that wrote it.
std::string GenerationIn(const std::string& path) {
  const std::string text = ReadFileForTest(path);
  const size_t start = text.find("<u>") + 3;
  return text.substr(start, text.find("</u>") - start);
}

// A run stopped at any moment leaves a whole set, old or new, never new parts beside old
// ones: the child writes one three-part set after another, each entry its generation, until
// SIGTERM comes after a varying wait.
TEST_F(MapFileSetTest, SignalAtAnyMomentLeavesOneWholeSet) {
  dir.MakeFolder("s");
  const auto generation = [](int number) {
    return [number](MapSink& out) {
      out.WillEndWith("</s>");
      out.Put(MapPart::Start, "<s>", 0);
      for (int i = 0; i < 5; ++i) out.Put(MapPart::File, "<u>" + std::to_string(number) + "</u>", 0);
      out.Put(MapPart::End, "</s>", 0);
      return true;
    };
  };
  ASSERT_EQ(WriteOutputFile(dir / "s/map.xml", {2, "https://e.org/map.xml"}, generation(0), sink), 3);
  for (int round = 0; round < 40; ++round) {
    const pid_t child = fork();
    if (child == 0) {
      for (int number = 1;; ++number)
        WriteOutputFile(dir / "s/map.xml", {2, "https://e.org/map.xml"}, generation(number), sink);
    }
    usleep(static_cast<useconds_t>(500 + round * 97 % 2000));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << round;
    const std::string first = GenerationIn(dir / "s/map-1.xml");
    EXPECT_EQ(GenerationIn(dir / "s/map-2.xml"), first) << round;
    EXPECT_EQ(GenerationIn(dir / "s/map-3.xml"), first) << round;
    EXPECT_EQ(ReadFileForTest(dir / "s/map.xml"), Index(3)) << round;
    EXPECT_TRUE(TemporaryFilesIn(dir / "s").empty()) << round;
  }
}

}  // namespace
