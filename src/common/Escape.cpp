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

// The length of the front of `text` that prints as it is: printable ASCII without "\\".
// Most lines are, and the log writes hundreds of thousands of them, so eight bytes are
// looked at in one step until one of them may not be.
size_t PlainLength(std::string_view text) {
  constexpr uint64_t kOnes = 0x0101010101010101, kHighBits = kOnes * 0x80;
  const auto mayHoldZero = [](uint64_t bytes) { return (bytes - kOnes) & ~bytes & kHighBits; };
  size_t plain = 0;
  for (uint64_t bytes = 0; plain + sizeof bytes <= text.size(); plain += sizeof bytes) {
    std::memcpy(&bytes, text.data() + plain, sizeof bytes);
    // A byte below 0x20 borrows into its high bit, one from 0x80 up has it already.
    if (((bytes - kOnes * 0x20) | bytes | mayHoldZero(bytes ^ (kOnes * 0x7f)) | mayHoldZero(bytes ^ (kOnes * '\\'))) &
        kHighBits)
      break;
  }
  const auto special = [](char c) { return c < 0x20 || c >= 0x7f || c == '\\'; };
  return static_cast<size_t>(std::find_if(text.begin() + static_cast<std::ptrdiff_t>(plain), text.end(), special) -
                             text.begin());
}

}  // namespace

bool IsSafeLine(std::string_view text) {
  bool safe = true;
  ForEachCharacter(text, [&safe](char32_t c, std::string_view, bool valid) {
    safe = safe && valid && !IsControl(c);
  });
  return safe;
}

void AppendEscapedLine(std::string_view text, std::string& out) {
  const size_t plain = PlainLength(text);
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
