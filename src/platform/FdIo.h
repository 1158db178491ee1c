#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Writes all of `content` to `fd`, going on after interruptions; false on any failure.
bool WriteAll(int fd, std::string_view content);
// Up to `limit` bytes of `fd`, fewer when the file ends first; nullopt on a read error.
std::optional<std::string> ReadUpTo(int fd, size_t limit);
