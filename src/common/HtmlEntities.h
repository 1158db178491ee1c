#pragma once
#include <string>
#include <string_view>

// `markup` as plain UTF-8 text: character references (&#233; &#xE9;) and the named
// entities of HTML 4 and &apos; (&eacute; &amp; &nbsp; ...) decoded. A reference it does
// not know, one without its ";" or one naming no character stays as written.
std::string DecodeHtmlEntities(std::string_view markup);
