// Our href resolution against the URL parser of Node.js, which follows the browsers'.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "links/LinkResolution.h"
#include "tests/support/NeededTool.h"
#include "tests/support/TempDir.h"

namespace {

const char* const kBase = "http://www.example.org/sub/p.htm";

// Tricky hrefs of a page at /sub/p.htm on the site www.example.org.
const std::vector<std::string>& TrickyHrefs() {
  static const std::vector<std::string> hrefs = {
      "a.htm", "../a.htm", "../../../../etc/passwd", "x/../../y/", "..\\..\\..\\etc\\passwd", "/..\\..\\x.htm",
      "%2e%2e/%2e%2e/x.htm", ".%2E/x.htm", "%2E./x.htm", "x/%2e/y.htm", "x/%2e%2e%2e/y.htm",
      " \t a.htm \n", "a\t.htm", "a\n\r.h\ttm", std::string("\x01\x1f b.htm\x00 ", 10),
      "\\\\evil.org\\x", "/\\evil.org/x", "//evil.org/x", "///evil.org/x",
      "http://www.example.org/a/../../b.htm", "https://example.org/c.htm",
      "HTTP://WWW.EXAMPLE.ORG/d.htm?q#f", "http://example.org.evil.net/x",
      "http://www.example.org@evil.net/x", "http:e.htm", "http:/f.htm", "http:\\\\www.example.org\\g.htm",
      "https:h.htm", "mailto:a@b", "javascript:void(0)", "C:\\x\\y.htm", "1:/x.htm", "a b.htm",
      "a%20b.htm", "x//../y.htm", "x///../../y.htm", "./", ".", "..", "", "#top", "?q=../../x",
      "a.htm?x#y", "a%2Fb.htm", "a%2f..%2f..%2fx", "%2e%2e%5c%2e%2e%5cx", "\xC3\xA9t\xC3\xA9.htm",
      "sub/./../../../x/", "/", "..;/x.htm", "x/..%00/y",
  };
  return hrefs;
}

// A JSON string literal of `text`, its bytes taken as Latin-1 characters.
std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (unsigned char c : text) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
    json += (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') ? std::string(escaped) : std::string(1, c);
  }
  return json + "\"";
}

// Per href, "local <hex of the decoded path>" for the own site or "outside".
const char* const kScript = R"(
const hrefs = JSON.parse(require('fs').readFileSync(process.argv[2], 'latin1'));
for (const href of hrefs) {
  const url = new URL(Buffer.from(href, 'latin1').toString('utf8'), process.argv[3]);
  const own = /^https?:$/.test(url.protocol) && /^(www\.)?example\.org$/.test(url.hostname);
  // Decoded as the server does; an encoded "/" or zero byte stays as it is.
  const path = url.pathname.replace(/%([0-9a-f]{2})/gi,
      (all, hex) => /^(2f|00)$/i.test(hex) ? all : String.fromCharCode(parseInt(hex, 16)));
  console.log(own ? 'local ' + Buffer.from(path, 'latin1').toString('hex') : 'outside');
}
)";

std::vector<std::string> NodeAnswers(const TempDir& dir) {
  std::string list = "[";
  for (const std::string& href : TrickyHrefs()) list += (list.size() > 1 ? "," : "") + JsonString(href);
  dir.Write("hrefs.json", list + "]");
  dir.Write("resolve.js", kScript);
  const std::string command = "node " + (dir / "resolve.js") + " " + (dir / "hrefs.json") + " " + kBase;
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<std::string> answers;
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe)) answers.emplace_back(line, std::strcspn(line, "\n"));
  if (pipe) pclose(pipe);
  return answers;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char c : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", c);
    hex += pair;
  }
  return hex;
}

std::string OurAnswer(const LinkResolver& resolver, const std::string& href) {
  const ResolvedLink link = resolver.Resolve(href);
  if (!link.target.starts_with("/site")) return "outside";
  const std::string path = link.target.substr(5);
  return "local " + Hex(path.empty() ? "/" : path);
}

TEST(BrowserResolution, AgreesWithNodeOnTrickyHrefs) {
  SKIP_WITHOUT_TOOL("node");
  TempDir dir;
  const std::vector<std::string> answers = NodeAnswers(dir);
  ASSERT_EQ(answers.size(), TrickyHrefs().size());
  const RunContext context{"/site", "http://www.example.org/"};
  const LinkResolver resolver("/site/sub/p.htm", context);
  for (size_t i = 0; i < answers.size(); ++i)
    EXPECT_EQ(OurAnswer(resolver, TrickyHrefs()[i]), answers[i]) << JsonString(TrickyHrefs()[i]);
}

}  // namespace
