#pragma once
#include <array>
#include <cstdint>
#include <string_view>

// Reading a tag's name and passing over the tag when nobody reads its attributes, from the
// marks of the 64 bytes from its "<": most tags are written plainly (name="value" or
// name='value', or a name alone), and in those only the name's end, the quotes and the ">"
// matter. The marks are found all at once, not each after the one before, so the tag's name
// and end are known a few steps after its start.

constexpr int kTagWindow = 64;

// A tag name's length and first letter in one byte, whatever the letter's case: a table of
// the sketches of a few elements rules out most other names before any is compared.
constexpr uint8_t NameSketch(std::string_view name) {
  return name.empty() ? 0 : static_cast<uint8_t>((name.size() & 7) << 5 | (name[0] & 31));
}
using NameSketches = std::array<bool, 256>;

// A tag read from its window: where its name ends and whether the name holds capitals, when
// it ends within the window (else nameEnd is nullptr); and when the tag was passed over,
// behind its ">" (else nullptr), whether it closed itself, and the next "<" when it stands
// within the window (else nullptr).
struct PassedTag {
  const char* nameEnd = nullptr;
  bool capitals = false;
  const char* behind = nullptr;
  bool selfClosing = false;
  const char* nextOpen = nullptr;
};

// From `tag`, the "<" of a tag whose name starts `nameStart` bytes on, and `end` the end of
// the page: the tag read from its window; it is passed over only when it is an end tag or its
// name's sketch is not among `lookedAt`, every attribute is written plainly and the tag ends
// within the window. Nothing is read when the page ends within the window. With `onward`, the
// tags that follow it in the window are passed over too while each is a start tag passed over
// likewise or an end tag whose ">" no quote precedes (then the passed tag tells of the last
// one passed): a reader of a few elements' start tags passes over most tags, and many fit in
// one window.
using PassPlainTag = PassedTag (*)(const char* tag, int nameStart, const char* end, const NameSketches& lookedAt,
                                   bool onward);
// The one for this processor, and each kind by name (for tests); kAvx2 and kAvx512 ask for
// carry-less multiplication too.
PassPlainTag PassPlainTagHere();
enum class TagMarking { kPlainly, kSse2, kAvx2, kAvx512 };
PassPlainTag PassPlainTagBy(TagMarking marking);
bool CanMarkBy(TagMarking marking);
