#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "links/CrawlPage.h"

// Parses page after page on `threads` threads, the calling one included, and hands them over
// in order. `parse(i, page, text)` fills `page` for number i, with `text` as room for reading;
// it runs on several threads at a time. `take(i, page)` runs on the calling thread for
// i = 0, 1, ... count - 1 in turn, and stops the work early by returning false. Only a
// bounded number of parsed pages wait to be taken. The calling thread parses whenever no
// parsed page waits for it, so it never sleeps while there is work.
using ParseNumbered = std::function<void(size_t i, ParsedPage& page, std::string& text)>;
using TakeNumbered = std::function<bool(size_t i, ParsedPage& page)>;
void ParseInOrder(size_t count, int threads, const ParseNumbered& parse, const TakeNumbered& take);
