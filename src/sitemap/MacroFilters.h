#pragma once
#include <span>
#include <string>
#include <string_view>

// A filter turns a macro's plain value into text fit for one kind of output.
using MacroFilter = std::string (*)(std::string_view value);

// The filter named `name` in any letter case: "html", "xml", "url", "json"; nullptr when
// there is none of that name.
MacroFilter FindMacroFilter(std::string_view name);

// One filter of the template language, as menus and the manual show it.
struct MacroFilterDefinition {
  std::string_view name;         // written behind a macro's name: "%fName|html%"
  std::string_view description;  // one line; `code` in backquotes
  MacroFilter apply;
};

// Every filter, in menu order.
std::span<const MacroFilterDefinition> MacroFilterTable();
// The manual's table of filters: one Markdown row "| `name` | description |" per filter,
// each ended by a line feed.
std::string MacroFilterManualRows();

// The "html" filter: "&", "<", ">", the quotes as entities, bytes that are not UTF-8 as
// U+FFFD, so the value is fit for text and for quoted attributes.
std::string HtmlEscape(std::string_view value);
// The "url" filter: every byte outside the unreserved set of RFC 3986 and "/" as "%XX".
std::string UrlEscape(std::string_view value);
