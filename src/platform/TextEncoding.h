#pragma once
#include <optional>
#include <string>
#include <string_view>

// `text` in the character set named `charset` (any name the C library's iconv knows,
// such as "windows-1252" or "Shift_JIS") converted to UTF-8. Bytes that are not valid in
// that set become U+FFFD. nullopt when the character set is unknown.
std::optional<std::string> ConvertToUtf8(std::string_view text, const std::string& charset);
