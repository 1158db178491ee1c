#pragma once
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Finding one byte in the short stretches a page reader searches: most values in quotes
// and most texts between two tags are a few bytes long, where a library call costs more
// than the search itself.

// The first `c` from `p` on, or `end`, byte by byte.
inline const char* FindBytePlainly(char c, const char* p, const char* end) {
  while (p < end && *p != c) ++p;
  return p;
}

// The same, sixteen bytes at a time where the processor can; past the first 32 bytes the
// library's search, which pays on long stretches, takes over.
inline const char* FindByte(char c, const char* p, const char* end) {
#ifdef __SSE2__
  const __m128i wanted = _mm_set1_epi8(c);
  for (int block = 0; block < 2 && end - p >= 16; ++block, p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
    if (found != 0) return p + std::countr_zero(found);
  }
  if (end - p >= 16) {
    const void* found = std::memchr(p, c, static_cast<size_t>(end - p));
    return found != nullptr ? static_cast<const char*>(found) : end;
  }
#endif
  return FindBytePlainly(c, p, end);
}

