#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

// The pages parsed and the time spent on them, added over the threads, and the part of it on
// the thread that made the clock.
class ParseClock {
 public:
  template <class Parse>
  void Time(Parse&& parse) {
    const auto start = std::chrono::steady_clock::now();
    parse();
    const int64_t spent = (std::chrono::steady_clock::now() - start).count();
    pages_.fetch_add(1, std::memory_order_relaxed);
    all_.fetch_add(spent, std::memory_order_relaxed);
    if (std::this_thread::get_id() == owner_) owners_.fetch_add(spent, std::memory_order_relaxed);
  }
  int64_t Pages() const { return pages_.load(); }
  double Seconds() const { return ToSeconds(all_); }
  double OwnersSeconds() const { return ToSeconds(owners_); }

 private:
  static double ToSeconds(const std::atomic<int64_t>& ticks) {
    return std::chrono::duration<double>(std::chrono::steady_clock::duration(ticks.load())).count();
  }
  const std::thread::id owner_ = std::this_thread::get_id();
  std::atomic<int64_t> pages_{0};
  std::atomic<int64_t> all_{0};
  std::atomic<int64_t> owners_{0};
};
