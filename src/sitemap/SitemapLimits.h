#pragma once
#include <cstdint>
#include <string>

#include "common/RunSettings.h"

// Search engines read at most 50,000 entries and 52,428,800 bytes from one XML site map.
inline constexpr int64_t kMaxSitemapItems = 50000;
inline constexpr int64_t kMaxSitemapBytes = 52428800;
// ... and take no address (<loc>) longer than this many characters.
inline constexpr size_t kMaxSitemapAddress = 2048;

// What an output at `outputPath` holding `items` entries in `bytes` bytes breaks: a line
// for each limit it passes, naming the limit; empty when it keeps them or is no ".xml" (or
// ".xml.gz") file.
std::string SitemapLimitWarning(const std::string& outputPath, int64_t items, int64_t bytes);

// The two warnings below are lines of a run's warnings, escaped where they are printed.

// What an entry's `text` breaks when one of its <loc> addresses is longer than
// kMaxSitemapAddress characters, naming the item's `path`; empty when none is.
std::string LongAddressWarning(const std::string& text, const std::string& path);

// What a map of `settings` to `outputPath` would give search engines as addresses when its
// templates use "%fUrl%" or "%domain%" in an ".xml" output: a warning when the domain is no
// absolute "http(s)://host/" address or is a placeholder (example.org and the like); empty
// when it is sound or not used.
std::string SitemapDomainWarning(const RunSettings& settings, const std::string& outputPath);
