#pragma once
#include <cstdint>
#include <string>

// Search engines read at most 50,000 entries and 52,428,800 bytes from one XML site map.
inline constexpr int64_t kMaxSitemapItems = 50000;
inline constexpr int64_t kMaxSitemapBytes = 52428800;

// What an output at `outputPath` holding `items` entries in `bytes` bytes breaks: a line
// for each limit it passes, naming the limit; empty when it keeps them or is no ".xml" (or
// ".xml.gz") file.
std::string SitemapLimitWarning(const std::string& outputPath, int64_t items, int64_t bytes);
