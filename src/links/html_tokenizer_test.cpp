// The tokenizer against the html5lib tokenizer tests: character references in text and
// attribute values, tags and attributes, comments and the raw-text elements.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/HtmlEntities.h"
#include "links/HtmlTokenizer.h"
#include "tests/support/NeededTool.h"

namespace {

const std::string kCorpus = std::string(FOLIOSCRIBE_SOURCE_DIR) + "/../shared/conformance/html5lib-tokenizer";
constexpr char kField = '\x1f';
constexpr char kToken = '\x1e';

std::string FromHex(std::string_view hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return bytes;
}

struct CorpusCase {
  std::string description, input, state, lastStartTag, expected;
};

std::vector<CorpusCase> CorpusCases() {
  std::string command = "python3 " + std::string(FOLIOSCRIBE_SOURCE_DIR) + "/tests/support/html5lib_tokens.py";
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus))
    if (entry.path().extension() == ".test") command += " " + entry.path().string();
  std::vector<CorpusCase> cases;
  FILE* pipe = popen(command.c_str(), "r");
  std::string line;
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    std::vector<std::string> fields;
    for (size_t from = 0, tab; from <= line.size(); from = tab + 1) {
      tab = std::min(line.find('\t', from), line.size());
      fields.push_back(FromHex(std::string_view(line).substr(from, tab - from)));
    }
    if (fields.size() == 5) cases.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
    line.clear();
  }
  if (pipe) pclose(pipe);
  return cases;
}

// The tokens of `input` in the corpus form the script writes: adjacent texts joined,
// references decoded where a browser decodes them.
// The element whose content starts in the case's state; empty when none of the raw-text
// elements gives that state, or when the state is the data state.
std::string ElementOf(const CorpusCase& c) {
  if (c.state == "PLAINTEXT state") return "plaintext";
  const std::string element = !c.lastStartTag.empty() ? c.lastStartTag
                              : c.state == "RCDATA state" ? "title"
                              : c.state == "Script data state" ? "script" : "style";
  if (!IsRawTextElement(element)) return "";
  const bool rcdata = DecodesReferences(element);
  const bool script = element == "script";
  if (c.state == "RCDATA state" && rcdata) return element;
  if (c.state == "RAWTEXT state" && !rcdata && !script) return element;
  if (c.state == "Script data state" && script) return element;
  return "";
}

std::string OurTokens(const CorpusCase& c) {
  HtmlTokenizer tokenizer(c.input);
  if (c.state != "Data state") tokenizer.StartInside(ElementOf(c));
  std::vector<std::string> tokens;
  HtmlToken token;
  while (tokenizer.Next(token)) {
    switch (token.kind) {
      case HtmlToken::Kind::kText: {
        const std::string text = token.rawText ? std::string(token.text) : DecodeHtmlEntities(token.text);
        if (!tokens.empty() && tokens.back().starts_with(std::string("T") + kField)) tokens.back() += text;
        else tokens.push_back(std::string("T") + kField + text);
        break;
      }
      case HtmlToken::Kind::kStartTag: {
        std::string tag = std::string("S") + kField + std::string(token.name) + kField + (token.selfClosing ? "/" : "");
        for (const HtmlAttribute& a : token.Attributes()) tag += kField + a.name + kField + a.value;
        tokens.push_back(tag);
        break;
      }
      case HtmlToken::Kind::kEndTag: tokens.push_back(std::string("E") + kField + std::string(token.name)); break;
      case HtmlToken::Kind::kComment: tokens.push_back(std::string("C") + kField + std::string(token.text)); break;
    }
  }
  std::string joined;
  for (const std::string& t : tokens) joined += (joined.empty() ? "" : std::string(1, kToken)) + t;
  return joined;
}

TEST(HtmlTokenizer, AgreesWithTheHtml5libCorpus) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  SKIP_WITHOUT_TOOL("python3");
  const std::vector<CorpusCase> cases = CorpusCases();
  ASSERT_GT(cases.size(), 4000u);
  int failed = 0;
  for (const CorpusCase& c : cases) {
    // A state that no element of ours starts in (RCDATA for "xmp", say) is not met in pages.
    if (c.state != "Data state" && ElementOf(c).empty()) continue;
    const std::string ours = OurTokens(c);
    if (ours == c.expected) continue;
    if (++failed <= 40) ADD_FAILURE() << c.description << " [" << c.state << "]\n  input: " << c.input
                                     << "\n  ours:  " << ours << "\n  want:  " << c.expected;
  }
  EXPECT_EQ(failed, 0) << "of " << cases.size();
}

// The tokens `tokenizer` reads, one line each with its place, and of its attributes those
// that `shown` holds, so that a tokenizer keeping all can be compared with one keeping a few.
using Shown = bool (*)(std::string_view element, std::string_view attribute);
std::string Line(const HtmlToken& token, Shown shown) {
  const bool tag = token.kind == HtmlToken::Kind::kStartTag || token.kind == HtmlToken::Kind::kEndTag;
  std::string line = std::to_string(static_cast<int>(token.kind)) + "@" + std::to_string(token.offset) + " ";
  line += tag ? std::string(token.name) + (token.selfClosing ? "/" : "") : "[" + std::string(token.text) + "]";
  for (const HtmlAttribute& a : token.Attributes())
    if (shown(token.name, a.name)) line += " " + a.name + "=" + a.value;
  return line;
}
std::vector<std::string> Tokens(HtmlTokenizer tokenizer, Shown shown) {
  std::vector<std::string> tokens;
  HtmlToken token;
  while (tokenizer.Next(token)) tokens.push_back(Line(token, shown));
  return tokens;
}

bool OddName(std::string_view name) { return name.size() % 2 == 1; }
// The sketches of the names of odd length: their length's lowest bit is kept in a sketch.
NameSketches OddSketches() {
  NameSketches sketches{};
  for (size_t sketch = 0; sketch < sketches.size(); ++sketch) sketches[sketch] = (sketch >> 5) % 2 == 1;
  return sketches;
}
bool Any(std::string_view, std::string_view) { return true; }
bool NoAttribute(std::string_view, std::string_view) { return false; }
bool OfOddElement(std::string_view element, std::string_view) { return OddName(element); }
bool OddAttribute(std::string_view, std::string_view attribute) { return OddName(attribute); }

// `pages`, and the inputs of the html5lib corpus where it is there.
// Each page also with blanks behind it, so that its last tags too lie a window's width or
// more from the end, where tags are passed over in wide steps.
std::vector<std::string> WithCorpusInputs(std::vector<std::string> pages) {
  if (std::filesystem::is_directory(kCorpus))
    for (const CorpusCase& c : CorpusCases()) pages.push_back(c.input);
  const size_t written = pages.size();
  for (size_t i = 0; i < written; ++i) pages.push_back(pages[i] + std::string(kTagWindow + 8, ' '));
  return pages;
}

// A reader that asks for the attributes of a few elements, or of a few names, finds every
// tag where one keeping all finds it: passing attributes over is as exact about quotes, "="
// and ">" as reading them, and the first attribute of a name still counts.
TEST(HtmlTokenizer, PassesOverTheAttributesNotAskedForExactly) {
  const std::vector<std::string> pages = WithCorpusInputs({
      "<div class=\"a>b\" data-x='c>d' =e>f\" g=h/ i/><p>",
      "<span a = \"1\" b= '2' c =3 d\te>x</span><br/><br a=b/><br =/><br a/>",
      "<a class=x HREF='1' title=\"t&amp;\" href=2 Title=u>a</a><img src=\"i.png\"/>",
      "<x \"a=b' c=\"d>e\">f<y 'g=\"h>i'>j<z a='unclosed>",
      "<q a=\"b\"c=d><q a=b\"c>d\"><q\na\n=\n\"b\"\n></q a=\">\">",
  });
  for (const std::string& page : pages) {
    HtmlTokenizer none(page);
    none.KeepAttributesOf([](std::string_view) { return false; }, {});
    EXPECT_EQ(Tokens(none, Any), Tokens(HtmlTokenizer(page), NoAttribute)) << page;
    HtmlTokenizer oddElements(page);
    oddElements.KeepAttributesOf(OddName, OddSketches());
    EXPECT_EQ(Tokens(oddElements, Any), Tokens(HtmlTokenizer(page), OfOddElement)) << page;
    HtmlTokenizer oddNames(page);
    oddNames.KeepAttributesNamed(OddName, OddSketches());
    EXPECT_EQ(Tokens(oddNames, Any), Tokens(HtmlTokenizer(page), OddAttribute)) << page;
  }
}

// Passing over the tokens between the start tags whose attributes are kept finds each of
// them where reading every token finds it, with the same attributes: comments, raw text and
// tags cut short are passed over as they are read.
TEST(HtmlTokenizer, FindsTheKeptStartTagsWhereReadingEveryTokenFindsThem) {
  const std::vector<std::string> pages = WithCorpusInputs({
      "<a href=x>1</a><!-- <b c=d> --><b c='e>'>2<script><i j=k></script><I J=L>3",
      "<p>x < y <q a=b><style>--><q a=c></style ><q a=d><textarea><q a=e></textarea><q a=f>",
      "<xmp>a<q a=1></xmp><q a=2><plaintext><q a=3></plaintext><q a=4>",
      "<?php <q a=1> ?><q a=2></ q><q a=3><!x><q a=4><q a=5",
      // End tags whose ">" comes early or late, after a quote or inside one.
      "</p a='><q a=1>'><q a=2></p\"><q a=3></ab x=\"><q a=4>\"><q a=5></abcdefghij><q a=6></b\n><q a=7>  ",
  });
  for (const std::string& page : pages) {
    HtmlTokenizer every(page);
    every.KeepAttributesOf(OddName, OddSketches());
    std::vector<std::string> read;
    HtmlToken token;
    while (every.Next(token))
      if (token.kind == HtmlToken::Kind::kStartTag && OddName(token.name)) read.push_back(Line(token, Any));
    HtmlTokenizer kept(page);
    kept.KeepAttributesOf(OddName, OddSketches());
    std::vector<std::string> found;
    while (kept.NextKeptStartTag(token)) found.push_back(Line(token, Any));
    EXPECT_EQ(found, read) << page;
  }
}

// Names and unquoted values are read many bytes at a time: each must end at its first
// blank, "/", ">" (or "=" for an attribute name), whatever its length, and hold any other
// byte, control characters and bytes of UTF-8 included; a name is in lower case, whether its
// capitals stand first, late or nowhere among the bytes next to "A" and "Z".
TEST(HtmlTokenizer, ReadsNamesAndValuesOfEveryLengthToTheirEnd) {
  std::vector<std::string> names;
  for (size_t length = 1; length <= 24; ++length)
    for (std::string_view inside : {"Ab\x01\xc3\xa9-x:y.z_0123456789AbCdEfGhIj", "z@[`{Z_.-:@[`{_.-:Z@[`{_."})
      names.emplace_back(inside.substr(0, length));
  for (const std::string& name : names) {
    std::string lower = name;
    for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    for (const char* end : {" ", "\t", "\n", "\f", "\r", "/", ">"}) {
      const std::string page = "<" + name + end + " " + name + (end[0] == '/' ? "" : end) + "=" + name + end + ">";
      HtmlTokenizer tokenizer(page);
      HtmlToken token;
      ASSERT_TRUE(tokenizer.Next(token)) << page;
      EXPECT_EQ(token.name, lower) << page;
      if (end[0] == '>') continue;  // the tag ended with its name
      ASSERT_EQ(token.Attributes().size(), 1u) << page;
      EXPECT_EQ(token.Attributes()[0].name, lower) << page;
      EXPECT_EQ(token.Attributes()[0].value, end[0] == '/' ? name + "/" : name) << page;
    }
  }
}

}  // namespace
