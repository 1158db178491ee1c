#include "common/Paths.h"

#include <gtest/gtest.h>

namespace {

struct UnaryCase {
  std::string (*function)(const std::string&);
  const char* name;
  std::string path;
  std::string expected;
};

TEST(Paths, DissectsWithSlashesOnlyAndReadsTypedWindowsForms) {
  const UnaryCase cases[] = {
      {StripTrailingSlash, "StripTrailingSlash", R"(C:\site\)", R"(C:\site)"},
      {StripTrailingSlash, "StripTrailingSlash", "/site//", "/site/"},
      {StripTrailingSlash, "StripTrailingSlash", "", ""},
      {StripTrailingSlashKeepRoot, "StripTrailingSlashKeepRoot", "/", "/"},
      {StripTrailingSlashKeepRoot, "StripTrailingSlashKeepRoot", "/site/", "/site"},
      {StripTrailingSlashKeepRoot, "StripTrailingSlashKeepRoot", R"(/site\)", R"(/site\)"},
      {NormalisedPath, "NormalisedPath", "/", "/"},
      {NormalisedPath, "NormalisedPath", "//", "/"},
      {NormalisedPath, "NormalisedPath", "\\", "/"},
      {NormalisedPath, "NormalisedPath", R"(C:\site\)", "C:/site"},
      {NormalisedPath, "NormalisedPath", "/site//", "/site/"},
      {NormalisedPath, "NormalisedPath", "", ""},
      {PathDrive, "PathDrive", R"(C:\site\docs)", "C:"},
      {PathDrive, "PathDrive", "/home/me", ""},
      {PathDrive, "PathDrive", R"(\\server\share)", ""},
      {PathFolder, "PathFolder", "C:/site/docs/a.html", "/site/docs/"},
      {PathFolder, "PathFolder", R"(C:\site\docs\)", R"(\site\docs\)"},
      {PathFolder, "PathFolder", "a.html", ""},
      {PathName, "PathName", "C:/site/my.folder", "my.folder"},
      {PathTitle, "PathTitle", "C:/site/my.folder", "my"},
      {PathExtension, "PathExtension", "C:/site/my.folder", "folder"},
      {PathName, "PathName", "/srv/a.b/readme", "readme"},
      {PathExtension, "PathExtension", "/srv/a.b/readme", ""},
      {PathTitle, "PathTitle", "/srv/archive.tar.gz", "archive.tar"},
      {PathName, "PathName", "C:x.htm", "C:x.htm"},
      {PathName, "PathName", R"(/srv/..\out\o.html)", R"(..\out\o.html)"},
      {PathTitle, "PathTitle", R"(/srv/a.b\c)", R"(a)"},
      {PathTitle, "PathTitle", "/srv/.hidden", ""},
      {PathExtension, "PathExtension", "/srv/.hidden", "hidden"},
      {PathName, "PathName", "/srv/site/", ""},
      {PathParent, "PathParent", "C:/site/docs/a.html", "C:/site/docs/"},
      {PathParent, "PathParent", R"(C:\site\docs\a.html)", ""},
      {PathParent, "PathParent", R"(/srv/..\..\etc)", "/srv/"},
      {PathParent, "PathParent", "/site/docs/", "/site/docs/"},
      {PathParent, "PathParent", "", ""},
      {ContainingFolder, "ContainingFolder", "C:/site/docs", "C:/site"},
      {ContainingFolder, "ContainingFolder", "C:/site", "C:"},
      {ContainingFolder, "ContainingFolder", "C:", ""},
      {ContainingFolder, "ContainingFolder", R"(C:\site\docs\)", ""},
      {ContainingFolder, "ContainingFolder", R"(/srv/x\)", "/srv"},
      {ContainingFolder, "ContainingFolder", "C:/", ""},
      {ContainingFolder, "ContainingFolder", "a.html", ""},
      {ContainingFolder, "ContainingFolder", "/home/me/site", "/home/me"},
      {ContainingFolder, "ContainingFolder", "/home", "/"},
      {ContainingFolder, "ContainingFolder", "/", ""},
  };
  for (const UnaryCase& c : cases)
    EXPECT_EQ(c.function(c.path), c.expected) << c.name << "(" << c.path << ")";
}

TEST(Paths, ToSlashesConvertsOneWay) {
  EXPECT_EQ(ToSlashes(R"(C:\site\docs)", '/'), "C:/site/docs");
  EXPECT_EQ(ToSlashes(R"(C:/site\docs)", '\\'), R"(C:\site\docs)");
  EXPECT_EQ(ToSlashes(R"(\\server\share)"), "//server/share");
  EXPECT_EQ(ToSlashes("", '/'), "");
}

TEST(Paths, IsAbsolutePath) {
  const struct {
    std::string path;
    bool absolute;
  } cases[] = {
      {"C:x", true},          {R"(\\server\share)", true}, {"http://example.org/a", true},
      {R"(docs\a:\b)", true}, {"/tmp/map.html", true},     {"/", true},
      {"docs/a.html", false}, {"a", false},                {"", false},
      {R"(\docs)", false},    {"map.html", false},         {"a:b", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsAbsolutePath(c.path), c.absolute) << c.path;
}

struct BinaryCase {
  std::string first;
  std::string second;
  std::string expected;
};

TEST(Paths, JoinPathChoosesTheSeparatorOnce) {
  const BinaryCase cases[] = {
      {R"(C:\site\)", "/docs/a.html", R"(C:\site\docs/a.html)"},
      {"/home/me/", "/docs/a.html", "/home/me/docs/a.html"},
      {"site", R"(docs\a.html)", R"(site\docs\a.html)"},
      {"site", "a.html", "site/a.html"},
      {"", "a.html", "a.html"},
      {"site", "", "site"},
      {"/", "img/a.gif", "/img/a.gif"},
  };
  for (const BinaryCase& c : cases)
    EXPECT_EQ(JoinPath(c.first, c.second), c.expected) << c.first << " + " << c.second;
}

TEST(Paths, ResolvePath) {
  const struct {
    std::string base;
    std::string reference;
    bool baseNamesFile;
    std::string expected;
  } cases[] = {
      {"C:/site/docs/page.html", "../img/a.gif", true, "C:/site/img/a.gif"},
      {"C:/site/docs/page.html", "./b.html", true, "C:/site/docs/b.html"},
      {"C:/site/docs/", "b.html", false, "C:/site/docs/b.html"},
      {R"(C:\site\docs)", R"(..\..\x.htm)", false, "C:/x.htm"},
      {"C:/site/page.html", "../../../x.htm", true, "x.htm"},
      {"C:/site/page.html", "http://example.org/", true, "http://example.org/"},
      {"/srv/site/docs/page.html", "../img/a.gif", true, "/srv/site/img/a.gif"},
      {"/srv/site/page.html", "/etc/passwd", true, "/etc/passwd"},
      {"/site/page.html", "../img/a.gif", true, "/img/a.gif"},
      {"/site/page.html", "../../img/a.gif", true, "img/a.gif"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ResolvePath(c.base, c.reference, c.baseNamesFile), c.expected)
        << c.base << " | " << c.reference;
}

TEST(Paths, PathsEqual) {
  const struct {
    std::string a;
    std::string b;
    bool equal;
  } cases[] = {
      {R"(C:\Site\Docs\)", "c:/site/docs", true},
      {"/srv/site/", "/srv/site", true},
      {"site", "SITE", true},
      {"/srv/site", "/srv/site2", false},
      {"//srv/site", "/srv/site", false},
      {"a/b", R"(a\b)", true},
  };
  for (const auto& c : cases) EXPECT_EQ(PathsEqual(c.a, c.b), c.equal) << c.a << " vs " << c.b;
}

TEST(Paths, GetRelativePath) {
  const BinaryCase cases[] = {
      {"C:/site/", "C:/SITE/docs/a.html", "docs/a.html"},
      {"C:/site/", "D:/other/a.html", ""},
      {"/srv/site", "/srv/site/docs/a.html", "docs/a.html"},
      {R"(/srv/out/)", R"(/srv/out/\a.html)", R"(\a.html)"},
      {"/srv/site/docs/a.html", "/srv/site", ""},
  };
  for (const BinaryCase& c : cases)
    EXPECT_EQ(GetRelativePath(c.first, c.second), c.expected) << c.first << " | " << c.second;
}

TEST(Paths, GetOutputFilePath) {
  const BinaryCase cases[] = {
      {R"(C:\site\)", "sitemap.html", "C:/site/sitemap.html"},
      {"/srv/site", R"(maps\sitemap.html)", "/srv/site/maps/sitemap.html"},
      {"/srv/site", "/tmp/map.html", "/tmp/map.html"},
      {"/srv/site", R"(D:\out\map.html)", "D:/out/map.html"},
  };
  for (const BinaryCase& c : cases)
    EXPECT_EQ(GetOutputFilePath(c.first, c.second), c.expected) << c.first << " | " << c.second;
}

}  // namespace

TEST(Paths, RelativeLinkClimbsToTheSharedFolderAndLexicalPathTakesSteps) {
  const struct {
    std::string folder, path, link;
  } links[] = {
      {"/site/", "/site/a.htm", "a.htm"},
      {"/SITE/", "/site/d/a.htm", "d/a.htm"},
      {"/site/", "/site", ""},
      {"/site/out/", "/site/a/b.htm", "../a/b.htm"},
      {"/a/b/c/", "/a/x", "../../x"},
      {"/a/b/", "/a/b2/c", "../b2/c"},
      {"/tmp/", "/site//d/a.htm", "../site/d/a.htm"},
      {"/tmp/", "/site/d/", "../site/d"},
      {"/a/", "/", "../"},
      {"/", "/x/y", "x/y"},
  };
  for (const auto& c : links) EXPECT_EQ(RelativeLink(c.folder, c.path), c.link) << c.folder << " " << c.path;
  EXPECT_EQ(LexicalPath("/a/./b/../c/"), "/a/c/");
  EXPECT_EQ(LexicalPath("/../x//y"), "/x/y");
  EXPECT_EQ(LexicalPath("/a/.."), "/");
}
