#include <gtest/gtest.h>

#include <string>

#include "links/ByteSearch.h"

namespace {

// Wherever the byte stands in a stretch of any length, or when it is missing, both searches
// find its first place; bytes that differ from it only in their high bit do not count.
TEST(FindByte, FindsTheFirstOfAByteWhereverItStands) {
  for (size_t length = 0; length <= 80; ++length) {
    for (size_t at = 0; at <= length; ++at) {
      std::string text(length, '\xbc');
      for (size_t i = 0; i < length; i += 3) text[i] = static_cast<char>('a' + i % 26);
      if (at < length) text[at] = '<';
      if (at + 5 < length) text[at + 5] = '<';  // a later one is not the first
      const char* const begin = text.data();
      const char* const end = begin + length;
      EXPECT_EQ(FindByte('<', begin, end) - begin, static_cast<ptrdiff_t>(at)) << length << " " << at;
      EXPECT_EQ(FindBytePlainly('<', begin, end) - begin, static_cast<ptrdiff_t>(at)) << length << " " << at;
    }
  }
}

}  // namespace
