#include "app/ManualPage.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "app/OptionTable.h"
#include "sitemap/MacroFilters.h"
#include "sitemap/Macros.h"

namespace {

std::string Escaped(std::string_view text) { return FindMacroFilter("html")(text); }

std::string Code(std::string_view text) { return "<code>" + Escaped(text) + "</code>"; }

// A description as HTML: its `backquoted` stretches as code.
std::string DescriptionHtml(std::string_view description) {
  std::string html;
  bool inCode = false;
  for (size_t pos = 0; pos <= description.size();) {
    const size_t end = std::min(description.find('`', pos), description.size());
    const std::string_view stretch = description.substr(pos, end - pos);
    html += inCode ? Code(stretch) : Escaped(stretch);
    inCode = !inCode;
    pos = end + 1;
  }
  return html;
}

std::string Row(std::initializer_list<std::string> cells) {
  std::string row = "<tr>";
  for (const std::string& cell : cells) row += "<td>" + cell + "</td>";
  return row + "</tr>\n";
}

std::string MacroTableHtml() {
  std::string html = "<table>\n<tr><th>Macro</th><th>Value</th><th>Example</th></tr>\n";
  for (const MacroDefinition& macro : MacroTable())
    html += Row({Code(MacroText(macro)), DescriptionHtml(macro.description), Code(macro.example)});
  return html + "</table>";
}

std::string FilterTableHtml() {
  std::string html = "<table>\n<tr><th>Filter</th><th>Does</th></tr>\n";
  for (const MacroFilterDefinition& filter : MacroFilterTable())
    html += Row({Code(filter.name), DescriptionHtml(filter.description)});
  return html + "</table>";
}

std::string OptionListHtml() {
  std::string html = "<dl>\n";
  for (const OptionSpec& option : KnownOptions()) {
    std::string names = std::string("--") + option.name;
    if (option.takes == OptionTakes::Value) names += std::string("=") + option.valueName;
    html += "<dt>";
    if (option.letter != 0) html += Code(std::string("-") + option.letter) + ", ";
    std::string help = option.help;
    for (char& c : help)
      if (c == '\n') c = ' ';
    html += Code(names) + "</dt><dd>" + Escaped(help) + "</dd>\n";
  }
  return html + "</dl>";
}

void Replace(std::string& page, std::string_view marker, const std::string& html) {
  const size_t at = page.find(marker);
  if (at != std::string::npos) page.replace(at, marker.size(), html);
}

}  // namespace

std::string FillManualPage(std::string page) {
  Replace(page, "<!-- macro table -->", MacroTableHtml());
  Replace(page, "<!-- filter table -->", FilterTableHtml());
  Replace(page, "<!-- option list -->", OptionListHtml());
  return page;
}
