#pragma once
#include <bit>
#include <cstdint>
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

#ifdef __SSE2__
// The bytes equal to `c` among the 16 from `p`, one bit each.
inline uint32_t EqualBytes(const char* p, char c) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
}
#endif

// The same, the first 32 bytes in one step where the processor can: whether the byte is
// among them is all that is asked, which is easier to foresee than where. Past them the
// library's search, which pays on long stretches, takes over.
inline const char* FindByte(char c, const char* p, const char* end) {
#ifdef __SSE2__
  if (end - p >= 32) {
    const uint32_t found = EqualBytes(p, c) | EqualBytes(p + 16, c) << 16;
    if (found != 0) return p + std::countr_zero(found);
    const void* later = std::memchr(p + 32, c, static_cast<size_t>(end - p - 32));
    return later != nullptr ? static_cast<const char*>(later) : end;
  }
  if (end - p >= 16) {
    const uint32_t found = EqualBytes(p, c);
    if (found != 0) return p + std::countr_zero(found);
    p += 16;
  }
#endif
  return FindBytePlainly(c, p, end);
}
