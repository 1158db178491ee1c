#pragma once
#include <string>
#include <string_view>

// True when the head of `page` holds a <meta name="robots"> or <meta name="googlebot">
// element (never text in a comment or script) whose content lists "noindex" or "none", in
// any letter case.
bool IsMarkedNoindex(std::string_view page);
// The same for the page at `path`; false when it cannot be read.
bool IsPageMarkedNoindex(const std::string& path);
