#pragma once
#include <string>
#include <string_view>

// The two escapings of text that came from outside (file names, hrefs, entities): one for
// lines people read, one for JSON. Both give valid UTF-8 whatever bytes they are given.

// For a line people read (findings, warnings, messages, the log, report keys): "\" as
// "\\", tab, line feed and carriage return as "\t", "\n", "\r", and "\xhh" for every other
// control byte, DEL, C1 control character and byte that is not UTF-8. So a name can neither
// forge a line nor drive a terminal, and every escape reads back one way.
std::string EscapedLine(std::string_view text);
// The same, appended to `out`.
void AppendEscapedLine(std::string_view text, std::string& out);
// True when `text` prints as it is: valid UTF-8 without control characters. What EscapedLine
// gives always is.
bool IsSafeLine(std::string_view text);
// True when `text` is printable ASCII without "\\", which EscapedLine leaves as it is: quick,
// for the many texts of a log that need no escaping.
bool IsPlainAscii(std::string_view text);

// The inside of a JSON string (RFC 8259): `"` and "\" escaped, control characters as "\n",
// "\r", "\t" or "\u00hh", a byte that is not UTF-8 as U+FFFD.
std::string JsonEscaped(std::string_view text);
// The same between double quotes.
std::string JsonString(std::string_view text);

// `text` with each byte that is not UTF-8 as U+FFFD; valid text stays as it is.
std::string ValidUtf8(std::string_view text);
