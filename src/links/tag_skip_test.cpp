#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "links/HtmlTokenizer.h"
#include "links/TagSkip.h"

namespace {

// Attributes the wide step must answer for, and ones it must leave to the tokenizer or read
// as the tokenizer does (unquoted values, blanks around "=", quotes inside names, a value
// straight behind another, a name that begins with "="): their ">" in quotes ends the tag
// unless the quote opens a value.
const std::vector<std::string> kPlainAttributes = {
    "class=\"pre\"", "id='x'", "hidden", "title=\"a>b <c\"", "alt='it\"s'", "data-x=\"it's\"", "A=\"\""};
const std::vector<std::string> kOtherAttributes = {
    "a=b/",    "a = \"b>\"", "a =\"b>\"", "a= \"b>\"", "=\"x>\"", "a==\"x>\"", "a=b\"c>\"",
    "b\"c=\"d>\"", "a=\"x\"=\"y>\"", "a/=\"x>\"", "a=\"x\"b=\"y>\"", "a=", "/", "a='unclosed"};

struct Tag {
  std::string text;
  size_t nameEnd;
  bool plain;  // every attribute plainly written
};

// Tags of a few names (one with capitals, one holding a quote) and endings holding up to two
// of the attributes above, with a blank, a new line, a "/" or nothing between them.
std::vector<Tag> Tags() {
  std::vector<std::string> attributes = kPlainAttributes;
  attributes.insert(attributes.end(), kOtherAttributes.begin(), kOtherAttributes.end());
  std::vector<Tag> tags;
  for (std::string name : {"<p", "<Span", "<x-y", "<q\"r"}) {
    for (std::string ending : {">", "/>", " />", "\n>"}) {
      tags.push_back({name + ending, name.size(), true});
      for (size_t first = 0; first < attributes.size(); ++first) {
        const bool firstPlain = first < kPlainAttributes.size();
        tags.push_back({name + " " + attributes[first] + ending, name.size(), firstPlain});
        for (size_t second = 0; second < attributes.size(); second += 3)
          for (std::string between : {" ", "\n", "/", ""})
            tags.push_back({name + " " + attributes[first] + between + attributes[second] + ending, name.size(),
                            firstPlain && second < kPlainAttributes.size() && !between.empty()});
      }
    }
  }
  return tags;
}

// Where the tokenizer, reading every attribute, ends the first tag of `page`, and whether it
// closes itself.
std::pair<size_t, bool> TokenizerEnd(const std::string& page) {
  HtmlTokenizer tokenizer(page);
  HtmlToken token;
  if (!tokenizer.Next(token)) return {page.size(), false};
  const bool selfClosing = token.selfClosing;
  return {tokenizer.Next(token) ? static_cast<size_t>(token.offset) : page.size(), selfClosing};
}

NameSketches EverySketch() {
  NameSketches every;
  every.fill(true);
  return every;
}
const NameSketches kEverySketch = EverySketch();

// Every kind of marking this processor has ends a tag where the tokenizer ends it, sees
// whether it closes itself and where the next "<" stands, whatever text follows, wherever in
// the window its end falls; it answers for every tag plainly written that ends within the
// window, and for no tag it cannot end exactly.
TEST(TagSkip, EndsPlainTagsWhereTheTokenizerEndsThem) {
  int kinds = 0;
  for (TagMarking marking : {TagMarking::kPlainly, TagMarking::kSse2, TagMarking::kAvx2, TagMarking::kAvx512}) {
    if (!CanMarkBy(marking)) continue;
    ++kinds;
    const PassPlainTag pass = PassPlainTagBy(marking);
    for (const Tag& tag : Tags()) {
      for (size_t fill = 0; fill <= 40; fill += 20) {
        for (std::string after : {"te<xt", "<b>", "\"q' >"}) {
          const std::string page = tag.text + std::string(fill, 'f') + after + std::string(70, ' ');
          const auto [end, selfClosing] = TokenizerEnd(page);
          const PassedTag passed = pass(page.data(), 1, page.data() + page.size(), {}, false);
          EXPECT_EQ(passed.nameEnd, page.data() + tag.nameEnd) << page;
          EXPECT_EQ(passed.capitals, tag.text[1] == 'S') << page;
          EXPECT_EQ(pass(page.data(), 1, page.data() + page.size(), kEverySketch, false).behind, nullptr) << page;
          const size_t open = page.find('<', end);
          if (tag.plain && end <= kTagWindow) {
            ASSERT_NE(passed.behind, nullptr) << page;
          }
          if (passed.behind == nullptr) continue;
          EXPECT_EQ(static_cast<size_t>(passed.behind - page.data()), end) << page;
          EXPECT_EQ(passed.selfClosing, selfClosing) << page;
          EXPECT_EQ(passed.nextOpen, open < kTagWindow ? page.data() + open : nullptr) << page;
        }
      }
    }
    // Fewer than 64 bytes left: no answer, nothing read beyond the page.
    const std::string shortPage = "<p class=\"x\">";
    EXPECT_EQ(pass(shortPage.data(), 1, shortPage.data() + shortPage.size(), {}, false).nameEnd, nullptr);
  }
  EXPECT_GE(kinds, 1);
  EXPECT_NE(PassPlainTagHere(), nullptr);
}

struct OnwardPage {
  std::string text;
  size_t firstTag;  // the length of its first tag
  bool passedThrough;  // every tag plainly written and read by nobody, all within the window
};

// A first tag (a start tag, or an end tag) whose length puts the tags behind it at every place
// in the window, its end too, then two pieces: tags that are passed over, or texts and tags that stop the passing.
std::vector<OnwardPage> OnwardPages() {
  const std::vector<std::pair<std::string, bool>> pieces = {
      {"<p>", true},           {"<i class=\"x\">", true}, {"</i>", true},           {"</b\n>", true},
      {"<br/>", true},         {"<a\nhref=\"z\">", true}, {"<i title='y>'>", true}, {"</p x='>'>", false},
      {"</b x=\">\">", false}, {"text", false},          {"a<b", false},           {"<q a=1>", false},
      {"<!-- c -->", false},   {"</>", false},            {"< i>", false},          {"</ i>", false},
      {"<i a=\"b>\"c>", false}, {"</q", false}};
  std::vector<OnwardPage> pages;
  for (size_t fill = 0; fill < kTagWindow; ++fill) {
    const std::string quoted = "<i class=\"" + std::string(fill, 'x') + "\">";
    const std::string blank = "<i" + std::string(fill, ' ') + ">";
    const std::string end = "</q" + std::string(fill, ' ') + ">";  // passed whatever its name
    for (const std::string& first : {quoted, blank, end}) {
      for (const auto& [second, secondPassed] : pieces) {
        for (const auto& [third, thirdPassed] : pieces) {
          const std::string text = first + second + third;
          pages.push_back({text, first.size(), secondPassed && thirdPassed && text.size() + 4 <= kTagWindow});
        }
      }
    }
  }
  return pages;
}

// Passing onward, every kind of marking stops behind the first tag, where a token starts or at
// a "<" inside a text or "</>", passing tags and texts only, none of them a start tag whose
// name's sketch asks for a look; tags plainly written that nobody reads are passed all
// through while they fit in the window.
TEST(TagSkip, PassesOnwardOverTheTagsNobodyReads) {
  NameSketches lookedAt{};
  lookedAt[NameSketch("q")] = true;
  const std::vector<OnwardPage> pages = OnwardPages();
  for (TagMarking marking : {TagMarking::kPlainly, TagMarking::kSse2, TagMarking::kAvx2, TagMarking::kAvx512}) {
    if (!CanMarkBy(marking)) continue;
    const PassPlainTag pass = PassPlainTagBy(marking);
    for (const OnwardPage& onward : pages) {
      const std::string page = onward.text + std::string(kTagWindow, ' ');
      const int nameStart = page[1] == '/' ? 2 : 1;
      const PassedTag passed = pass(page.data(), nameStart, page.data() + page.size(), lookedAt, true);
      if (passed.behind == nullptr) {  // only a first tag that ends beyond the window is left
        EXPECT_GT(onward.firstTag, static_cast<size_t>(kTagWindow)) << page;
        continue;
      }
      const char* const stop = passed.nextOpen != nullptr ? passed.nextOpen : passed.behind;
      const int64_t resume = stop - page.data();
      EXPECT_GE(resume, static_cast<int64_t>(onward.firstTag)) << page;
      HtmlTokenizer tokenizer(page);
      HtmlToken token;
      bool inText = false;  // the last token before the stop is a text
      while (tokenizer.Next(token) && token.offset < resume) {
        inText = token.kind == HtmlToken::Kind::kText;
        EXPECT_TRUE(inText || token.kind == HtmlToken::Kind::kStartTag || token.kind == HtmlToken::Kind::kEndTag)
            << page;
        EXPECT_FALSE(token.kind == HtmlToken::Kind::kStartTag && token.name == "q") << page;
      }
      // "</>" is no token at all.
      const bool outsideTokens = *stop == '<' && (inText || std::string_view(stop, 3) == "</>");
      EXPECT_TRUE(token.offset == resume || outsideTokens) << page;
      if (onward.passedThrough) {
        EXPECT_EQ(resume, static_cast<int64_t>(onward.text.size())) << page;
      }
    }
  }
}

// A tag's name ends where the tokenizer ends it, at each byte value that can stand behind it
// and at every place in the window, start and end tags alike (a name that runs on to the
// window's end is left to the tokenizer); it holds capitals when one of its bytes is "A" to
// "Z", not a byte next to them.
TEST(TagSkip, EndsNamesWhereTheTokenizerEndsThem) {
  for (TagMarking marking : {TagMarking::kPlainly, TagMarking::kSse2, TagMarking::kAvx2, TagMarking::kAvx512}) {
    if (!CanMarkBy(marking)) continue;
    const PassPlainTag pass = PassPlainTagBy(marking);
    for (int c = 0; c < 256; ++c) {
      for (std::string open : {"<", "</"}) {
        for (size_t length = 1; length + open.size() < kTagWindow; ++length) {
          std::string name(length, 'a');
          for (size_t at = 0; at < length; at += 5) name[at] = "@[Z`{A"[(at + length) % 6];
          name[0] = 'x';
          const std::string tag = open + name + static_cast<char>(c) + ">";
          HtmlTokenizer tokenizer(tag);
          HtmlToken token;
          ASSERT_TRUE(tokenizer.Next(token)) << tag;
          const std::string page = tag + std::string(kTagWindow, ' ');
          const PassedTag passed =
              pass(page.data(), static_cast<int>(open.size()), page.data() + page.size(), {}, false);
          if (passed.nameEnd == nullptr) {  // left to the tokenizer
            EXPECT_GE(open.size() + token.name.size(), static_cast<size_t>(kTagWindow)) << tag;
            continue;
          }
          const size_t nameEnd = static_cast<size_t>(passed.nameEnd - page.data());
          std::string lower = page.substr(open.size(), nameEnd - open.size());
          for (char& b : lower) b = b >= 'A' && b <= 'Z' ? static_cast<char>(b + 32) : b;
          EXPECT_EQ(lower, token.name) << static_cast<int>(marking) << " " << tag;
          EXPECT_EQ(passed.capitals, lower != page.substr(open.size(), nameEnd - open.size())) << tag;
        }
      }
    }
  }
}

}  // namespace
