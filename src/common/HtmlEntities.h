#pragma once
#include <string>
#include <string_view>

// Where a character reference stands: an attribute value keeps "&amp=" and "&ampx" as
// written, as links with query strings depend on it.
enum class ReferencePlace { kText, kAttribute };

// `markup` as plain UTF-8 text, its character references decoded as a browser decodes them:
// every named reference of HTML (the longest name that matches, some also without ";"),
// decimal and hexadecimal ones with or without ";" (0, surrogates and values beyond
// U+10FFFF become U+FFFD; 80-9F are read as windows-1252). What is no reference stays.
std::string DecodeHtmlEntities(std::string_view markup, ReferencePlace place = ReferencePlace::kText);
// The same, appended to `out`.
void AppendDecodedReferences(std::string_view markup, ReferencePlace place, std::string& out);
