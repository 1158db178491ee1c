#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The whole file up to its first zero byte; nullopt when it cannot be opened.
std::optional<std::string> TryReadTextFile(const std::string& path);
// The same, empty when it cannot be opened.
std::string ReadTextFile(const std::string& path);
// Position of the first match of `pattern` ("*" any run, "?" one character, [set]) in
// `text`, the pattern only having to match at the front of the rest; -1 when none.
int64_t WildcardFind(const std::string& text, const std::string& pattern, bool ignoreCase);
// The text between "<title>" and the next "<", as written; empty when there is none.
std::string GetPageTitle(const std::string& path);
