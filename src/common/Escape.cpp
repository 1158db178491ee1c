#include "common/Escape.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/Utf8.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendHexByte(std::string& out, const char* prefix, unsigned char byte) {
  out.append(prefix).append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7f && c <= 0x9f); }

// Calls `each(codePoint, bytes, valid)` for each character of `text`; a byte that is not
// UTF-8 comes alone with `valid` false.
template <typename Each>
void ForEachCharacter(std::string_view text, Each each) {
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    char32_t c = 0;
    const bool valid = NextCodePoint(text, pos, c);
    each(c, text.substr(start, pos - start), valid);
  }
}

// Whether `byte` prints as it is: printable ASCII but "\\".
bool IsPlain(unsigned char byte) { return static_cast<unsigned char>(byte - 0x20) < 0x5f && byte != '\\'; }

// The log writes hundreds of thousands of lines, nearly all of them plain, so whole texts
// are looked at in blocks of bytes, the last one overlapping the one before.

// Marks in `marks` the bytes of the 16 at `bytes` that do not print as they are. A loop
// without branches over a fixed count, which the compiler makes a few vector instructions.
constexpr size_t kBlock = 16;
struct BlockMarks {
  unsigned char byte[kBlock] = {};
};
void MarkBlock(const char* bytes, BlockMarks& marks) {
  for (size_t i = 0; i < kBlock; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    marks.byte[i] |= static_cast<unsigned char>(static_cast<unsigned char>(byte - 0x20) >= 0x5f) |
                     static_cast<unsigned char>(byte == '\\');
  }
}

// For a text of at least kBlock bytes. The loop runs over pointers: one over a count would
// be made a second, scalar loop too, for counts near the largest.
bool IsPlainLong(std::string_view text) {
  BlockMarks marks;
  const char* last = text.data() + text.size() - kBlock;
  for (const char* at = text.data(); at < last; at += kBlock) MarkBlock(at, marks);
  MarkBlock(last, marks);
  uint64_t halves[2];
  std::memcpy(halves, marks.byte, sizeof halves);
  return (halves[0] | halves[1]) == 0;
}

// Whether the eight bytes at `bytes` all print as they are, looked at in one word: each
// byte is kept below 0x80 before any sum, so no carry crosses into the next.
bool IsPlainWord(const char* bytes) {
  constexpr uint64_t kOnes = 0x0101010101010101, kLowBits = kOnes * 0x7f;
  uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  const uint64_t low = word & kLowBits;
  const uint64_t control = ~(low + kOnes * 0x60);  // high bit set below 0x20
  const uint64_t del = low + kOnes;                 // set at 0x7f
  const uint64_t backslash = ~((low ^ (kOnes * '\\')) + kLowBits);
  return ((word | control | del | backslash) & (kOnes * 0x80)) == 0;
}

}  // namespace

bool IsPlainAscii(std::string_view text) {
  if (text.size() >= kBlock) return IsPlainLong(text);
  if (text.size() >= sizeof(uint64_t)) return IsPlainWord(text.data()) && IsPlainWord(text.data() + text.size() - sizeof(uint64_t));
  return std::all_of(text.begin(), text.end(), [](char c) { return IsPlain(static_cast<unsigned char>(c)); });
}

bool IsSafeLine(std::string_view text) {
  bool safe = true;
  ForEachCharacter(text, [&safe](char32_t c, std::string_view, bool valid) {
    safe = safe && valid && !IsControl(c);
  });
  return safe;
}

void AppendEscapedLine(std::string_view text, std::string& out) {
  if (IsPlainAscii(text)) {
    out.append(text);
    return;
  }
  const size_t plain = static_cast<size_t>(
      std::find_if_not(text.begin(), text.end(), [](char c) { return IsPlain(static_cast<unsigned char>(c)); }) -
      text.begin());
  out.append(text.substr(0, plain));
  ForEachCharacter(text.substr(plain), [&out](char32_t c, std::string_view bytes, bool valid) {
    if (valid && c == '\\') out += "\\\\";
    else if (valid && c == '\t') out += "\\t";
    else if (valid && c == '\n') out += "\\n";
    else if (valid && c == '\r') out += "\\r";
    else if (valid && !IsControl(c)) out.append(bytes);
    else
      for (const char byte : bytes) AppendHexByte(out, "\\x", static_cast<unsigned char>(byte));
  });
}

std::string EscapedLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscapedLine(text, out);
  return out;
}

std::string JsonEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCharacter(text, [&out](char32_t c, std::string_view bytes, bool valid) {
    if (!valid) AppendUtf8(out, kReplacementCharacter);
    else if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20) AppendHexByte(out, "\\u00", static_cast<unsigned char>(c));
    else out.append(bytes);
  });
  return out;
}

std::string JsonString(std::string_view text) { return "\"" + JsonEscaped(text) + "\""; }

std::string ValidUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  ForEachCharacter(text, [&out](char32_t, std::string_view bytes, bool valid) {
    if (valid) out.append(bytes);
    else AppendUtf8(out, kReplacementCharacter);
  });
  return out;
}
