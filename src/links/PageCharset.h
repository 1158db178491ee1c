#pragma once
#include <string>
#include <string_view>

// The character set a page declares: a UTF-8 byte-order mark, <meta charset>, the charset
// of <meta http-equiv="Content-Type" content="...">, or its XML declaration's encoding.
// Lower case; "iso-8859-1", "latin1" and "us-ascii" read as "windows-1252", and "utf-16"
// as "utf-8", as browsers read them. Empty when the page declares none.
std::string DeclaredCharset(std::string_view page);

// `text`, a piece of `page`, as UTF-8: converted from the declared character set; without
// one (or with one the system does not know) kept when it is valid UTF-8, else read as
// Windows-1252.
std::string PageTextToUtf8(std::string_view text, std::string_view page);
