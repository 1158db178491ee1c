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
        std::string tag = std::string("S") + kField + token.name + kField + (token.selfClosing ? "/" : "");
        for (const HtmlAttribute& a : token.Attributes()) tag += kField + a.name + kField + a.value;
        tokens.push_back(tag);
        break;
      }
      case HtmlToken::Kind::kEndTag: tokens.push_back(std::string("E") + kField + token.name); break;
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

}  // namespace
