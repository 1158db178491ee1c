// Our href resolution against the URL parser of Node.js, which follows the browsers'.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "links/LinkExtraction.h"
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

// Hrefs that name the own site in the spellings a browser accepts, and some it does not.
const std::vector<std::string>& OwnSiteSpellings() {
  static const std::vector<std::string> hrefs = {
      "//www.example.org/x.htm", "//example.org/x.htm", "http://www.example.org", "https://example.org?q",
      "http://www.example.org:80/x.htm", "https://www.example.org:443/x.htm", "http://www.example.org:0080/x.htm",
      "http://www.example.org:8080/x.htm", "https://www.example.org:80/x.htm", "http://user@www.example.org/x.htm",
      "http://user:pw@www.example.org/x.htm", "HTTP://WWW.EXAMPLE.ORG/X.htm", "http://www.ex%61mple.org/x.htm",
      "http:////www.example.org/x.htm", "http://www.example.org./x.htm", "http://www.example.org:/x.htm",
      "//www.example.org", "///x.htm",
  };
  return hrefs;
}

// Bases a page may declare, each with the hrefs read against it.
const std::vector<std::pair<std::string, std::string>>& BasedHrefs() {
  static const std::vector<std::pair<std::string, std::string>> pairs = {
      {"../", "index.htm"}, {"../", "a/b.htm"}, {"../", "../../x.htm"}, {"/other/", "x.htm"},
      {"/other/", ""}, {"sub2/page.htm", "x.htm"}, {"sub2/page.htm", "../y.htm"},
      {"http://www.example.org/deep/x/", "y.htm"}, {"//example.org/b/", "c.htm"}, {".", "z.htm"},
      {"../?q#f", "w.htm"}, {"http://other.org/d/", "/abs.htm"},
  };
  return pairs;
}

// Per base and href, "local <hex of the decoded path>" for the own site or "outside".
const char* const kScript = R"(
const pairs = JSON.parse(require('fs').readFileSync(process.argv[2], 'latin1'));
const text = (s) => Buffer.from(s, 'latin1').toString('utf8');
for (const [base, href] of pairs) {
  const url = new URL(text(href), base === '' ? process.argv[3] : new URL(text(base), process.argv[3]));
  const own = /^https?:$/.test(url.protocol) && /^(www\.)?example\.org$/.test(url.hostname) &&
              url.port === '' && url.username === '' && url.password === '';
  // Decoded as the server does; an encoded "/" or zero byte stays as it is.
  const path = url.pathname.replace(/%([0-9a-f]{2})/gi,
      (all, hex) => /^(2f|00)$/i.test(hex) ? all : String.fromCharCode(parseInt(hex, 16)));
  console.log(own ? 'local ' + Buffer.from(path, 'latin1').toString('hex') : 'outside');
}
)";

std::vector<std::string> NodeAnswers(const TempDir& dir, const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string list = "[";
  for (const auto& [base, href] : pairs)
    list += (list.size() > 1 ? ",[" : "[") + JsonString(base) + "," + JsonString(href) + "]";
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

std::vector<std::pair<std::string, std::string>> WithoutBase(const std::vector<std::string>& hrefs) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const std::string& href : hrefs) pairs.emplace_back("", href);
  return pairs;
}

const RunContext kContext{"/site", "http://www.example.org/"};

TEST(BrowserResolution, AgreesWithNodeOnTrickyHrefs) {
  SKIP_WITHOUT_TOOL("node");
  TempDir dir;
  std::vector<std::string> hrefs = TrickyHrefs();
  hrefs.insert(hrefs.end(), OwnSiteSpellings().begin(), OwnSiteSpellings().end());
  const std::vector<std::string> answers = NodeAnswers(dir, WithoutBase(hrefs));
  ASSERT_EQ(answers.size(), hrefs.size());
  const LinkResolver resolver("/site/sub/p.htm", kContext);
  for (size_t i = 0; i < answers.size(); ++i) EXPECT_EQ(OurAnswer(resolver, hrefs[i]), answers[i]) << JsonString(hrefs[i]);
}

TEST(BrowserResolution, AgreesWithNodeOnHrefsReadAgainstABase) {
  SKIP_WITHOUT_TOOL("node");
  TempDir dir;
  const std::vector<std::string> answers = NodeAnswers(dir, BasedHrefs());
  ASSERT_EQ(answers.size(), BasedHrefs().size());
  for (size_t i = 0; i < answers.size(); ++i) {
    const auto& [base, href] = BasedHrefs()[i];
    LinkResolver resolver("/site/sub/p.htm", kContext);
    resolver.SetBase(base);
    EXPECT_EQ(OurAnswer(resolver, href), answers[i]) << JsonString(base) << " " << JsonString(href);
  }
}

// Hrefs written with character references, as the page's markup holds them: read by our
// tokenizer on one side, decoded by Python's HTML unescaping on the other, then resolved.
TEST(BrowserResolution, AgreesWithNodeOnHrefsWrittenWithReferences) {
  SKIP_WITHOUT_TOOL("node");
  SKIP_WITHOUT_TOOL("python3");
  const std::vector<std::string> written = {
      "caf&#233;.htm", "caf&eacute;.htm", "&#x70;1.htm", "a&amp;b.htm", "x&#47;..&#47;y.htm", "&#46;&#46;/z.htm",
      "%&#50;e%2e/w.htm", "http&#58;//www.example.org/v.htm", "&#x2F;&#x2F;example.org/u.htm", "t&#x9;.htm",
      "&#104;ttp://other.org/", "s&#x20;.htm", "q.htm?a=1&amp;b=2#f&#x23;g", "&lt;&gt;.htm", "&#128;.htm",
  };
  TempDir dir;
  std::string script = "import html, sys\nfor line in open(sys.argv[1], encoding='utf-8'):\n"
                       "    sys.stdout.buffer.write(html.unescape(line.rstrip('\\n')).encode('utf-8').hex().encode() + b'\\n')\n";
  std::string lines;
  for (const std::string& href : written) lines += href + "\n";
  const std::string command = "python3 " + dir.Write("unescape.py", script) + " " + dir.Write("written.txt", lines);
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<std::pair<std::string, std::string>> decoded;
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe)) {
    std::string hex(line, std::strcspn(line, "\n")), bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    decoded.emplace_back("", bytes);
  }
  if (pipe) pclose(pipe);
  ASSERT_EQ(decoded.size(), written.size());
  const std::vector<std::string> answers = NodeAnswers(dir, decoded);
  ASSERT_EQ(answers.size(), written.size());
  const LinkResolver resolver("/site/sub/p.htm", kContext);
  for (size_t i = 0; i < written.size(); ++i) {
    std::vector<LinkInfo> links;
    ExtractLinks("<a href=\"" + written[i] + "\">x</a>", links);
    ASSERT_EQ(links.size(), 1u) << written[i];
    EXPECT_EQ(OurAnswer(resolver, links[0].href), answers[i]) << written[i];
  }
}

}  // namespace
