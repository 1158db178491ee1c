#include "common/Utf8.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte begins and the bits it carries; 0 for no lead.
int SequenceLength(unsigned char lead, char32_t& bits) {
  if (lead < 0x80) return bits = lead, 1;
  if ((lead & 0xE0) == 0xC0) return bits = lead & 0x1F, 2;
  if ((lead & 0xF0) == 0xE0) return bits = lead & 0x0F, 3;
  if ((lead & 0xF8) == 0xF0) return bits = lead & 0x07, 4;
  return 0;
}

bool IsWellFormed(char32_t codePoint, int length) {
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  return codePoint >= kSmallest[length] && codePoint <= 0x10FFFF && !surrogate;
}

}  // namespace

bool NextCodePoint(std::string_view text, size_t& pos, char32_t& codePoint) {
  char32_t bits = 0;
  const int length = SequenceLength(static_cast<unsigned char>(text[pos]), bits);
  if (length == 0 || pos + length > text.size()) return ++pos, false;
  for (int i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) return ++pos, false;
    bits = (bits << 6) | (byte & 0x3F);
  }
  if (!IsWellFormed(bits, length)) return ++pos, false;
  pos += length;
  codePoint = bits;
  return true;
}

void AppendUtf8(std::string& text, char32_t codePoint) {
  auto add = [&text](char32_t byte) { text += static_cast<char>(byte); };
  if (codePoint < 0x80) {
    add(codePoint);
  } else if (codePoint < 0x800) {
    add(0xC0 | (codePoint >> 6));
    add(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    add(0xE0 | (codePoint >> 12));
    add(0x80 | ((codePoint >> 6) & 0x3F));
    add(0x80 | (codePoint & 0x3F));
  } else {
    add(0xF0 | (codePoint >> 18));
    add(0x80 | ((codePoint >> 12) & 0x3F));
    add(0x80 | ((codePoint >> 6) & 0x3F));
    add(0x80 | (codePoint & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  char32_t codePoint = 0;
  for (size_t pos = 0; pos < text.size();)
    if (!NextCodePoint(text, pos, codePoint)) return false;
  return true;
}
