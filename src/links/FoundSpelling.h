#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// How a link's text as found follows from its target, when it does: most hrefs are the
// target's path from the page's folder or from the site root, and an outside address is
// its own target. Such texts need not be kept beside the target.
enum class FoundSpelling : uint8_t {
  kOwn,       // none of these: the text is kept
  kTarget,    // the target itself
  kRelative,  // "../" as often as needed, then the rest of the target
  kFromRoot,  // the target without the site root, from its "/"
};

// The spelling that gives back `found` from `target`, seen from a page in `folder` (ending
// with "/") of the site whose root is `root` (no trailing "/").
FoundSpelling SpellingOf(std::string_view found, std::string_view target, std::string_view folder,
                         std::string_view root);
// Appends the text `spelling` (not kOwn) gives for `target`.
void AppendSpelled(FoundSpelling spelling, std::string_view target, std::string_view folder,
                   std::string_view root, std::string& out);
