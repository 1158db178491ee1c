#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Lower-cases ASCII letters only; other bytes stay. Inline: it runs for every byte that
// case-blind comparisons and hashes look at.
inline char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string ToLowerAscii(const std::string& text);
// Byte-equal after lower-casing ASCII letters; copies nothing.
bool EqualsNoCase(std::string_view a, std::string_view b);
// `text` without the bytes of `blanks` at either end.
std::string Trim(std::string_view text, std::string_view blanks = " \t\n\r\f\v");
// The same as a view into `text`.
std::string_view TrimView(std::string_view text, std::string_view blanks = " \t\n\r\f\v");
// True when `text` begins with `prefix`, ignoring case.
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
// Position of `what` in `text` at or after `start`, ignoring case; `start` for an empty
// `what`; -1 when absent or `start` lies beyond the end. Copies nothing.
int64_t FindNoCase(std::string_view text, std::string_view what, size_t start = 0);
// The number of single-byte edits (insert, delete, replace) that turn `a` into `b`.
size_t EditDistance(std::string_view a, std::string_view b);
// `number` with a comma between groups of three digits: "1,448".
std::string GroupedNumber(int64_t number);
// The grouped number and `noun`, plural with an "s" unless it is one: "1 page", "1,448 links".
std::string Counted(int64_t count, const char* noun);
// `text` with every CR LF turned into LF.
std::string UnixLineEnds(std::string_view text);
// Escapes what would break a link to a file name: " " "%" "#" "?" "\" and the double quote.
std::string WebEscape(const std::string& text);
// `time` (seconds since 1970) in local time, strftime `format`; empty when the conversion
// fails or the result is empty or longer than 127 characters.
std::string FormatLocalTime(int64_t time, const std::string& format);
// Profile-value entities: & CR LF " ' < > = [ ] become &amp; &#13; &#10; &quot; &#39; &lt;
// &gt; &#61; &#91; &#93;; unescaping decodes them in any letter case, "&amp;" last.
std::string EscapeProfileText(const std::string& text);
std::string UnescapeProfileText(const std::string& text);
