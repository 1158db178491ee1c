#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "links/CrawlPage.h"

// Parses page after page on worker threads and hands them over in order to the calling
// thread, which may meanwhile read pages of its own choice: it claims such a page, and no
// worker parses it then. `parse(i, page, text)` fills `page` for number i, with `text` as
// room for reading; it runs on several threads at a time. `take(i, page)` runs on the calling
// thread for i = 0, 1, ... count - 1 in turn (with an empty page, read kUnreadable, for a
// claimed one), and stops the work early by returning false. Only a bounded number of parsed
// pages wait to be taken. The calling thread parses whenever it waits and no parsed page does.
using ParseNumbered = std::function<void(size_t i, ParsedPage& page, std::string& text)>;
using TakeNumbered = std::function<bool(size_t i, ParsedPage& page)>;

class ParseInOrder {
 public:
  // `threads` counts the calling one: with one, pages are parsed only when it takes them.
  ParseInOrder(size_t count, int threads, ParseNumbered parse, TakeNumbered take);
  ~ParseInOrder();
  ParseInOrder(const ParseInOrder&) = delete;
  ParseInOrder& operator=(const ParseInOrder&) = delete;

  // Who took up a page: nobody yet, a thread that hands it over, or the calling thread that
  // reads it itself.
  enum class Holder : uint8_t { kNobody, kParser, kCaller };
  // Claims page i for the calling thread to read itself, when nobody took it up yet; returns
  // who held it before.
  Holder Claim(size_t i) { return TakeUp(i, Holder::kCaller); }
  // Takes the parsed pages waiting in order, without waiting for more.
  void TakeWaiting();
  // Takes the pages up to and with page i, parsing pages itself while none waits.
  void TakeThrough(size_t i);
  // Takes every page.
  void TakeAll() { TakeThrough(count_ - 1); }

 private:
  class Ring;
  Holder TakeUp(size_t i, Holder holder) {
    Holder before = Holder::kNobody;
    holders_[i].compare_exchange_strong(before, holder, std::memory_order_acq_rel);
    return before;
  }
  void Work();
  void ParseOrPass(size_t i, ParsedPage& page, std::string& text);
  void TakeRun(size_t run);

  const size_t count_;
  const ParseNumbered parse_;
  const TakeNumbered take_;
  std::unique_ptr<std::atomic<Holder>[]> holders_;
  std::unique_ptr<Ring> ring_;
  size_t taken_ = 0;     // pages taken so far
  bool stopped_ = false; // by `take`
  std::string text_;     // the calling thread's room for reading
  std::vector<std::thread> workers_;  // last: they stop before the rest goes
};
