#include "links/TagSkip.h"

#include <bit>

#ifdef __x86_64__
#include <immintrin.h>
#define FOLIOSCRIBE_X86 1
#endif

namespace {

// The marks of the 64 bytes from a place: bit i stands for the byte i bytes on.
struct TagMarks {
  uint64_t closes = 0;        // ">"
  uint64_t doubleQuotes = 0;  // '"'
  uint64_t singleQuotes = 0;  // "'"
  uint64_t equals = 0;        // "="
  uint64_t opens = 0;         // "<"
};

// The marks found byte by byte, and by vector instructions where the processor has them.
[[gnu::always_inline]] inline TagMarks MarkPlainly(const char* p) {
  TagMarks marks;
  for (int i = 0; i < kTagWindow; ++i) {
    const uint64_t bit = uint64_t{1} << i;
    if (p[i] == '>') marks.closes |= bit;
    if (p[i] == '"') marks.doubleQuotes |= bit;
    if (p[i] == '\'') marks.singleQuotes |= bit;
    if (p[i] == '=') marks.equals |= bit;
    if (p[i] == '<') marks.opens |= bit;
  }
  return marks;
}

#ifdef FOLIOSCRIBE_X86
uint64_t Sse2Equal(const __m128i (&bytes)[4], char c) {
  const __m128i wanted = _mm_set1_epi8(c);
  uint64_t marks = 0;
  for (int i = 0; i < 4; ++i)
    marks |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes[i], wanted)))} << (16 * i);
  return marks;
}
[[gnu::target("avx2"), gnu::always_inline]] inline uint64_t Avx2Equal(__m256i bytes, __m256i wanted) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, wanted)));
}
[[gnu::target("avx2"), gnu::always_inline]] inline uint64_t Avx2Equal(__m256i low, __m256i high, char c) {
  const __m256i wanted = _mm256_set1_epi8(c);
  return Avx2Equal(low, wanted) | Avx2Equal(high, wanted) << 32;
}

[[gnu::always_inline]] inline TagMarks MarkSse2(const char* p) {
  __m128i bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
  return {Sse2Equal(bytes, '>'), Sse2Equal(bytes, '"'), Sse2Equal(bytes, '\''), Sse2Equal(bytes, '='),
          Sse2Equal(bytes, '<')};
}

[[gnu::target("avx2"), gnu::always_inline]] inline TagMarks MarkAvx2(const char* p) {
  const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  return {Avx2Equal(low, high, '>'), Avx2Equal(low, high, '"'), Avx2Equal(low, high, '\''),
          Avx2Equal(low, high, '='), Avx2Equal(low, high, '<')};
}
#endif

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
// The marks from bit `from` on.
uint64_t From(uint64_t marks, int from) { return marks >> from << from; }
// The first mark of `marks` behind bit `at`, or 64.
int FirstBehind(uint64_t marks, int at) { return at + 1 + std::countr_zero(marks >> at >> 1); }

// The tag is read as the tokenizer would, one stretch at a time, each stretch starting where
// the tokenizer waits for an attribute's name (behind the tag's name, or behind a quoted
// value). In a stretch up to its first quote or ">", with no "=" but one just before that
// quote and a name's byte just before the "=", the quote opens a value; a ">" with no "="
// before it in its stretch ends the tag, "/>" closing it. Anything else is left to the
// tokenizer's reading.
[[gnu::always_inline]] inline PassedTag PassMarked(const TagMarks& marks, const char* tag, int nameEnd) {
  const uint64_t stops = marks.closes | marks.doubleQuotes | marks.singleQuotes;
  for (int stretch = nameEnd; stretch < kTagWindow;) {
    const uint64_t ahead = From(stops, stretch);
    if (ahead == 0) return {};
    const int at = std::countr_zero(ahead);
    const uint64_t equals = From(marks.equals, stretch) & ((uint64_t{1} << at) - 1);
    if ((marks.closes >> at & 1) != 0) {
      if (equals != 0) return {};
      const int next = FirstBehind(marks.opens, at);
      // tag[at - 1] is the name's last byte at the least
      return {tag + at + 1, tag[at - 1] == '/', next < kTagWindow ? tag + next : nullptr};
    }
    if (at < stretch + 2 || equals != uint64_t{1} << (at - 1) || IsBlank(tag[at - 2]) || tag[at - 2] == '/')
      return {};
    stretch = FirstBehind((marks.doubleQuotes >> at & 1) != 0 ? marks.doubleQuotes : marks.singleQuotes, at) + 1;
  }
  return {};
}

PassedTag PassPlainly(const char* tag, int nameEnd, const char* end) {
  return end - tag < kTagWindow ? PassedTag{} : PassMarked(MarkPlainly(tag), tag, nameEnd);
}

#ifdef FOLIOSCRIBE_X86
PassedTag PassBySse2(const char* tag, int nameEnd, const char* end) {
  return end - tag < kTagWindow ? PassedTag{} : PassMarked(MarkSse2(tag), tag, nameEnd);
}
[[gnu::target("avx2")]] PassedTag PassByAvx2(const char* tag, int nameEnd, const char* end) {
  return end - tag < kTagWindow ? PassedTag{} : PassMarked(MarkAvx2(tag), tag, nameEnd);
}
#endif

}  // namespace

bool CanMarkBy(TagMarking marking) {
#ifdef FOLIOSCRIBE_X86
  if (marking == TagMarking::kAvx2) return __builtin_cpu_supports("avx2");
  return true;
#else
  return marking == TagMarking::kPlainly;
#endif
}

PassPlainTag PassPlainTagBy(TagMarking marking) {
#ifdef FOLIOSCRIBE_X86
  if (marking == TagMarking::kAvx2) return PassByAvx2;
  if (marking == TagMarking::kSse2) return PassBySse2;
#endif
  return marking == TagMarking::kPlainly ? PassPlainly : nullptr;
}

PassPlainTag PassPlainTagHere() {
  static const PassPlainTag here = CanMarkBy(TagMarking::kAvx2)   ? PassPlainTagBy(TagMarking::kAvx2)
                                   : CanMarkBy(TagMarking::kSse2) ? PassPlainTagBy(TagMarking::kSse2)
                                                                  : PassPlainTagBy(TagMarking::kPlainly);
  return here;
}
