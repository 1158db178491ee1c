#pragma once
#include <string>
#include <string_view>

// True when the head of `page` holds <meta name="robots"> or <meta name="googlebot"> whose
// content lists "noindex" or "none", in any letter case.
bool IsMarkedNoindex(std::string_view page);
// The same for the page at `path`; false when it cannot be read.
bool IsPageMarkedNoindex(const std::string& path);
