#include "links/ParseInOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr size_t kPages = 600;

// Pages "parsed" as their numbers, counted per number, so that a page parsed twice or not at
// all shows.
struct Counted {
  std::vector<std::atomic<int>> parses = std::vector<std::atomic<int>>(kPages);
  std::vector<size_t> taken;
  std::vector<bool> takenEmpty;

  ParseNumbered Parse() {
    return [this](size_t i, ParsedPage& page, std::string&) {
      parses[i].fetch_add(1);
      page.path = std::to_string(i);
      page.read = PageRead::kRead;
    };
  }
  TakeNumbered Take(size_t stopAfter = kPages) {
    return [this, stopAfter](size_t i, ParsedPage& page) {
      taken.push_back(i);
      takenEmpty.push_back(page.path.empty() && page.read == PageRead::kUnreadable);
      if (!page.path.empty()) {
        EXPECT_EQ(page.path, std::to_string(i));
      }
      return taken.size() < stopAfter;
    };
  }
};

}  // namespace

// The caller walks the pages in an order of its own, as the crawl does: it reads what it
// claims, waits for what a thread took up, and every page is parsed once and taken once,
// in order.
TEST(ParseInOrder, EveryPageIsParsedOnceWhateverTheCallerClaims) {
  std::vector<size_t> walk(kPages);
  std::iota(walk.begin(), walk.end(), 0);
  std::shuffle(walk.begin(), walk.end(), std::mt19937(7));
  walk.resize(kPages / 2);  // the walk reaches half of the pages
  for (const int threads : {1, 2, 4}) {
    Counted counted;
    std::vector<bool> claimed(kPages);
    {
      ParseInOrder parse(kPages, threads, counted.Parse(), counted.Take());
      for (const size_t i : walk) {
        parse.TakeWaiting();
        if (parse.Claim(i) == ParseInOrder::Holder::kNobody) {
          claimed[i] = true;
          EXPECT_EQ(parse.Claim(i), ParseInOrder::Holder::kCaller) << "claimed twice: " << i;
          continue;
        }
        parse.TakeThrough(i);
        ASSERT_GT(counted.taken.size(), i) << threads << " threads";
      }
      parse.TakeAll();
    }
    ASSERT_EQ(counted.taken.size(), kPages) << threads << " threads";
    for (size_t i = 0; i < kPages; ++i) {
      EXPECT_EQ(counted.taken[i], i);
      EXPECT_EQ(counted.parses[i].load() + (claimed[i] ? 1 : 0), 1) << "page " << i << ", " << threads << " threads";
      EXPECT_EQ(counted.takenEmpty[i], claimed[i]) << "page " << i << ", " << threads << " threads";
    }
  }
}

// A take that says stop ends the work: nothing more is taken, and the threads end.
TEST(ParseInOrder, StopsWhenTheTakerSaysSo) {
  for (const int threads : {1, 3}) {
    Counted counted;
    {
      ParseInOrder parse(kPages, threads, counted.Parse(), counted.Take(100));
      parse.TakeThrough(kPages / 2);
      parse.TakeAll();
      parse.TakeWaiting();
    }
    EXPECT_EQ(counted.taken.size(), 100u) << threads << " threads";
  }
  Counted none;
  ParseInOrder empty(0, 2, none.Parse(), none.Take());
  empty.TakeAll();
  EXPECT_TRUE(none.taken.empty());
}
