#pragma once
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Reads the character at `pos` and moves `pos` behind it. A byte that does not begin a
// well-formed UTF-8 sequence (overlong, surrogate, beyond U+10FFFF, cut short) gives
// false and moves `pos` one byte on.
bool NextCodePoint(std::string_view text, size_t& pos, char32_t& codePoint);
// Appends `codePoint` in UTF-8.
void AppendUtf8(std::string& text, char32_t codePoint);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view text);
