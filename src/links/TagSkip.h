#pragma once
#include <cstdint>

// Passing over a tag nobody reads the attributes of, from the marks of the 64 bytes from its
// "<": most tags are written plainly (name="value" or name='value', or a name alone), and in
// those only the quotes and the ">" matter. The marks are found all at once, not each after
// the one before, so the tag's end is known a few steps after its start.

constexpr int kTagWindow = 64;

// A tag passed over: behind its ">", whether it closed itself, and the next "<" when it
// stands within the window (else nullptr).
struct PassedTag {
  const char* behind = nullptr;
  bool selfClosing = false;
  const char* nextOpen = nullptr;
};

// From `tag`, the "<" of a tag whose name ends `nameEnd` bytes on: the
// tag passed over when every attribute is written plainly and the tag ends within the 64
// bytes from `tag`; `behind` nullptr when not, or when the page ends within them, where the
// tokenizer's own reading has to decide.
using PassPlainTag = PassedTag (*)(const char* tag, int nameEnd, const char* end);
// The one for this processor, and each kind by name (for tests).
PassPlainTag PassPlainTagHere();
enum class TagMarking { kPlainly, kSse2, kAvx2 };
PassPlainTag PassPlainTagBy(TagMarking marking);
bool CanMarkBy(TagMarking marking);
