// Times the reading the crawl does per page, apart from the disk: every .htm/.html page of
// a tree is loaded into memory first, then parsed on one thread as the crawl parses it
// (links found and resolved, the title read). Prints the best of five rounds as
// "<MB/s> <MB> <pages>". The rounds are timed in the thread's processor time, which other
// programs running on the machine sway less than the time on the clock.
// Usage: folioscribe_readbench <folder>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "links/CrawlPage.h"

namespace {

struct LoadedPage {
  std::string path;
  std::string text;
};

// The pages of `folder` in a fixed order, read as the crawl reads them.
std::vector<LoadedPage> LoadPages(const std::filesystem::path& folder, const RunContext& context) {
  std::vector<LoadedPage> pages;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    LoadedPage page{entry.path().generic_string(), {}};
    if (!entry.is_regular_file() || !IsPageExtension(page.path)) continue;
    if (ReadPage(page.path, context.maxPageBytes, page.text) == PageRead::kRead) pages.push_back(std::move(page));
  }
  std::ranges::sort(pages, {}, &LoadedPage::path);
  return pages;
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Seconds to parse all `pages` once.
double ParseAll(std::vector<LoadedPage>& pages, const RunContext& context) {
  ParsedPage parsed;
  const double start = ThreadSeconds();
  for (LoadedPage& page : pages) ParsePageText(page.path, page.text, context, PageNeeds{.title = true}, parsed);
  return ThreadSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: folioscribe_readbench <folder>\n");
    return 2;
  }
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::canonical(argv[1], error);
  if (error) {
    std::fprintf(stderr, "folioscribe_readbench: no folder %s\n", argv[1]);
    return 1;
  }
  const RunContext context{.root = folder.generic_string(), .domain = {}};
  std::vector<LoadedPage> pages = LoadPages(folder, context);
  double bytes = 0;
  for (const LoadedPage& page : pages) bytes += static_cast<double>(page.text.size());
  double best = 0;
  for (int round = 0; round < 5; ++round) {
    const double seconds = ParseAll(pages, context);
    best = round == 0 ? seconds : std::min(best, seconds);
  }
  const double megabytes = bytes / 1e6;
  std::printf("%.0f %.1f %zu\n", best > 0 ? megabytes / best : 0.0, megabytes, pages.size());
  return 0;
}
