#pragma once
#include <string>
#include <string_view>

// A filter turns a macro's plain value into text fit for one kind of output.
using MacroFilter = std::string (*)(std::string_view value);

// The filter named `name` in any letter case: "html", "xml", "url", "json"; nullptr when
// there is none of that name.
MacroFilter FindMacroFilter(std::string_view name);

// The filter names, for menus and the manual.
inline constexpr std::string_view kMacroFilterNames[] = {"html", "xml", "url", "json"};

// The "url" filter: every byte outside the unreserved set of RFC 3986 and "/" as "%XX".
std::string UrlEscape(std::string_view value);
