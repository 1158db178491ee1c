// Writes a deterministic synthetic web site for the benchmarks: nested folders of pages
// (1 + 10 + 100 + 1000 folders of 18 pages each, or as many as asked), one flat folder of many
// pages, 20 to 40 links per page, every page with a title. "bare" pages are empty files,
// for tests that need many files quickly.
// Usage: folioscribe_sitegen <folder> [flat pages] [pages per folder] [bare]
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kFanOut = 10;

struct Shape {
  int flatPages = 2000;
  int pagesPerFolder = 18;
  bool bare = false;
};

// A fixed generator, so every machine gets the same site.
struct Random {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  uint32_t Next(uint32_t bound) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33) % bound;
  }
};

// prefix, number, suffix; appended in place, as "p" + std::to_string(i) trips a false
// warning of g++ 12 about overlapping copies.
std::string Numbered(std::string_view prefix, int i, std::string_view suffix = "") {
  std::string text(prefix);
  text.append(std::to_string(i)).append(suffix);
  return text;
}

std::string PageName(int i) { return i == 0 ? "index.htm" : Numbered("p", i, ".htm"); }

std::string RandomFolder(Random& random) {
  return "/s" + std::to_string(random.Next(kFanOut)) + "/t" + std::to_string(random.Next(kFanOut)) + "/u" +
         std::to_string(random.Next(kFanOut)) + "/";
}

// One link of the mix a real site has: siblings, parents, children, root-relative,
// fragments, queries, the flat folder and outside addresses.
std::string RandomHref(Random& random, const Shape& shape) {
  const std::string page = PageName(static_cast<int>(random.Next(shape.pagesPerFolder)));
  switch (random.Next(10)) {
    case 0: return "../" + page;
    case 1: return "../../";
    case 2: return RandomFolder(random) + page;
    case 3: return "/flat/f" + std::to_string(random.Next(shape.flatPages)) + ".html";
    case 4: return page + "#part" + std::to_string(random.Next(5));
    case 5: return page + "?view=" + std::to_string(random.Next(3));
    case 6: return random.Next(2) ? "https://example.com/ref/" + page : "mailto:web@example.com";
    default: return page;
  }
}

std::string Page(Random& random, const std::string& title, const std::vector<std::string>& fixedLinks,
                 const Shape& shape) {
  if (shape.bare) return "";
  std::string text = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" + title +
                     "</title>\n<style>a { color: navy; }</style></head>\n<body><h1>" + title + "</h1>\n";
  for (const std::string& href : fixedLinks) text += "<p><a href=\"" + href + "\">" + href + "</a></p>\n";
  for (uint32_t n = 20 + random.Next(21); n > 0; --n) {
    text += "<p>Some words about the topic of this page, and a link: <a class=\"ref\" href=\"" +
            RandomHref(random, shape) + "\" title='more'>read more</a>.</p>\n";
  }
  return text + "</body></html>\n";
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void WriteFolder(Random& random, const std::filesystem::path& folder, const std::string& name, int depth,
                 const Shape& shape) {
  std::filesystem::create_directories(folder);
  static const char* const prefixes[] = {"s", "t", "u"};
  std::vector<std::string> children;
  if (depth < 3) {
    for (int i = 0; i < kFanOut; ++i) children.push_back(Numbered(prefixes[depth], i, "/"));
  }
  for (int i = 0; i < shape.pagesPerFolder; ++i) {
    std::vector<std::string> fixed = i == 0 ? children : std::vector<std::string>{};
    if (i == 0 && depth == 0) fixed.push_back("flat/");
    if (i == 0) {
      for (int p = 1; p < shape.pagesPerFolder; ++p) fixed.push_back(PageName(p));
    }
    WriteFile(folder / PageName(i), Page(random, name + " page " + std::to_string(i), fixed, shape));
  }
  for (const std::string& child : children) {
    const std::string childName = child.substr(0, child.size() - 1);
    WriteFolder(random, folder / childName, name + "/" + childName, depth + 1, shape);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: folioscribe_sitegen <folder> [flat pages] [pages per folder] [bare]\n";
    return 2;
  }
  const std::filesystem::path root = argv[1];
  Shape shape;
  if (argc > 2) shape.flatPages = std::stoi(argv[2]);
  if (argc > 3) shape.pagesPerFolder = std::stoi(argv[3]);
  shape.bare = argc > 4 && std::string_view(argv[4]) == "bare";
  Random random;
  WriteFolder(random, root, "Site", 0, shape);
  std::filesystem::create_directories(root / "flat");
  std::vector<std::string> index;
  for (int i = 0; i < shape.flatPages; ++i) index.push_back(Numbered("f", i, ".html"));
  WriteFile(root / "flat" / "index.html", Page(random, "Flat index", index, shape));
  for (int i = 0; i < shape.flatPages; ++i)
    WriteFile(root / "flat" / index[static_cast<size_t>(i)], Page(random, "Flat page " + std::to_string(i), {}, shape));
  return 0;
}
