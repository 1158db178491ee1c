#pragma once
#include <string_view>

// Whether a "mailto:" link names addresses a mail program can send to: one or more
// "local@domain" before any "?", separated by ",", each percent-encoding decoded; a local
// part of printable characters without blanks, a domain of letter, digit and "-" labels
// between dots (or an address literal in brackets). `link` begins with "mailto:" (any case).
bool IsValidMailLink(std::string_view link);
