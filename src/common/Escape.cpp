#include "common/Escape.h"

#include <algorithm>

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

}  // namespace

bool IsSafeLine(std::string_view text) {
  bool safe = true;
  ForEachCharacter(text, [&safe](char32_t c, std::string_view, bool valid) {
    safe = safe && valid && !IsControl(c);
  });
  return safe;
}

void AppendEscapedLine(std::string_view text, std::string& out) {
  // Most lines are printable ASCII: the log writes hundreds of thousands of them.
  const auto special = [](char c) { return c < 0x20 || c >= 0x7f || c == '\\'; };
  const size_t plain = static_cast<size_t>(std::ranges::find_if(text, special) - text.begin());
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
