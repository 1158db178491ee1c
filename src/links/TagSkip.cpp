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
  uint64_t nameEnds = 0;      // a blank, "/" or ">": what ends a tag's name
  uint64_t capitals = 0;      // "A" to "Z"
  uint64_t oddQuotes = 0;     // the bytes at or behind an odd number of double quotes
};

// Each bit set where an odd number of `marks` stand at or below it.
uint64_t PrefixXor(uint64_t marks) {
  for (int shift = 1; shift < kTagWindow; shift *= 2) marks ^= marks << shift;
  return marks;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

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
    if (p[i] == '/' || p[i] == '>' || IsBlank(p[i])) marks.nameEnds |= bit;
    if (p[i] >= 'A' && p[i] <= 'Z') marks.capitals |= bit;
  }
  marks.oddQuotes = PrefixXor(marks.doubleQuotes);
  return marks;
}

#ifdef FOLIOSCRIBE_X86
uint64_t Sse2Marks(const __m128i (&marked)[4]) {
  uint64_t marks = 0;
  for (int i = 0; i < 4; ++i) marks |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(marked[i]))} << (16 * i);
  return marks;
}
uint64_t Sse2Equal(const __m128i (&bytes)[4], char c) {
  const __m128i wanted = _mm_set1_epi8(c);
  const __m128i marked[4] = {_mm_cmpeq_epi8(bytes[0], wanted), _mm_cmpeq_epi8(bytes[1], wanted),
                             _mm_cmpeq_epi8(bytes[2], wanted), _mm_cmpeq_epi8(bytes[3], wanted)};
  return Sse2Marks(marked);
}
uint64_t Sse2Capitals(const __m128i (&bytes)[4]) {
  __m128i marked[4];
  for (int i = 0; i < 4; ++i)
    marked[i] = _mm_andnot_si128(_mm_cmpgt_epi8(bytes[i], _mm_set1_epi8('Z')),
                                 _mm_cmpgt_epi8(bytes[i], _mm_set1_epi8('A' - 1)));
  return Sse2Marks(marked);
}
[[gnu::target("avx2"), gnu::always_inline]] inline uint64_t Avx2Marks(__m256i low, __m256i high) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
         uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(high))} << 32;
}
[[gnu::target("avx2"), gnu::always_inline]] inline uint64_t Avx2Equal(__m256i low, __m256i high, char c) {
  const __m256i wanted = _mm256_set1_epi8(c);
  return Avx2Marks(_mm256_cmpeq_epi8(low, wanted), _mm256_cmpeq_epi8(high, wanted));
}
// The bytes that end a name: each of them stands alone at the place of its low four bits in
// this table, so a byte is one of them where the table gives it back.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Avx2EndsName(__m256i bytes) {
  const __m256i ends = _mm256_setr_epi8(' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, '\f', '\r', '>', '/',
                                        ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, '\f', '\r', '>', '/');
  return _mm256_cmpeq_epi8(_mm256_shuffle_epi8(ends, bytes), bytes);
}
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Avx2Capitals(__m256i bytes) {
  return _mm256_andnot_si256(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8('Z')),
                             _mm256_cmpgt_epi8(bytes, _mm256_set1_epi8('A' - 1)));
}

[[gnu::always_inline]] inline TagMarks MarkSse2(const char* p) {
  __m128i bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
  const uint64_t closes = Sse2Equal(bytes, '>');
  const uint64_t nameEnds = closes | Sse2Equal(bytes, '/') | Sse2Equal(bytes, ' ') | Sse2Equal(bytes, '\t') |
                            Sse2Equal(bytes, '\n') | Sse2Equal(bytes, '\f') | Sse2Equal(bytes, '\r');
  const uint64_t doubleQuotes = Sse2Equal(bytes, '"');
  return {closes,   doubleQuotes, Sse2Equal(bytes, '\''), Sse2Equal(bytes, '='), Sse2Equal(bytes, '<'),
          nameEnds, Sse2Capitals(bytes), PrefixXor(doubleQuotes)};
}

// Multiplying without carries by all ones sums each bit with those below it.
[[gnu::target("pclmul"), gnu::always_inline]] inline uint64_t ClmulPrefixXor(uint64_t marks) {
  const __m128i product = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<int64_t>(marks)), _mm_set1_epi8(-1), 0);
  return static_cast<uint64_t>(_mm_cvtsi128_si64(product));
}

[[gnu::target("avx2,pclmul"), gnu::always_inline]] inline TagMarks MarkAvx2(const char* p) {
  const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  const uint64_t doubleQuotes = Avx2Equal(low, high, '"');
  return {Avx2Equal(low, high, '>'),
          doubleQuotes,
          Avx2Equal(low, high, '\''),
          Avx2Equal(low, high, '='),
          Avx2Equal(low, high, '<'),
          Avx2Marks(Avx2EndsName(low), Avx2EndsName(high)),
          Avx2Marks(Avx2Capitals(low), Avx2Capitals(high)),
          ClmulPrefixXor(doubleQuotes)};
}

// The same in one step for each mark: 64 bytes are one vector, and a comparison gives its
// marks straight away.
[[gnu::target("avx512bw"), gnu::always_inline]] inline uint64_t Avx512Equal(__m512i bytes, char c) {
  return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(c));
}

[[gnu::target("avx512bw,pclmul"), gnu::always_inline]] inline TagMarks MarkAvx512(const char* p) {
  // As in Avx2EndsName, the table repeated in each 16 bytes.
  alignas(64) static constexpr std::array<char, kTagWindow> kEnds = [] {
    constexpr char kLane[16] = {' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, '\f', '\r', '>', '/'};
    std::array<char, kTagWindow> ends{};
    for (int i = 0; i < kTagWindow; ++i) ends[i] = kLane[i % 16];
    return ends;
  }();
  const __m512i bytes = _mm512_loadu_si512(p);
  const __m512i ends = _mm512_load_si512(kEnds.data());
  const uint64_t doubleQuotes = Avx512Equal(bytes, '"');
  return {Avx512Equal(bytes, '>'),
          doubleQuotes,
          Avx512Equal(bytes, '\''),
          Avx512Equal(bytes, '='),
          Avx512Equal(bytes, '<'),
          _mm512_cmpeq_epi8_mask(_mm512_shuffle_epi8(ends, bytes), bytes),
          _mm512_cmplt_epu8_mask(_mm512_sub_epi8(bytes, _mm512_set1_epi8('A')), _mm512_set1_epi8(26)),
          ClmulPrefixXor(doubleQuotes)};
}
#endif

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
[[gnu::always_inline]] inline void PassMarked(const TagMarks& marks, const char* tag, int nameEnd, PassedTag& passed) {
  const uint64_t stops = marks.closes | marks.doubleQuotes | marks.singleQuotes;
  for (int stretch = nameEnd; stretch < kTagWindow;) {
    const uint64_t ahead = From(stops, stretch);
    if (ahead == 0) return;
    const int at = std::countr_zero(ahead);
    const uint64_t equals = From(marks.equals, stretch) & ((uint64_t{1} << at) - 1);
    if ((marks.closes >> at & 1) != 0) {
      if (equals != 0) return;
      const int next = FirstBehind(marks.opens, at);
      passed.behind = tag + at + 1;
      passed.selfClosing = tag[at - 1] == '/';  // the name's last byte at the least
      passed.nextOpen = next < kTagWindow ? tag + next : nullptr;
      return;
    }
    if (at < stretch + 2 || equals != uint64_t{1} << (at - 1) || IsBlank(tag[at - 2]) || tag[at - 2] == '/')
      return;
    stretch = FirstBehind((marks.doubleQuotes >> at & 1) != 0 ? marks.doubleQuotes : marks.singleQuotes, at) + 1;
  }
}

// Most tags hold no single quote but inside double-quoted values: then the double quotes alone
// tell which bytes are quoted, and the tag is read as PassMarked reads it all at once, not one
// value after another. False when a single quote stands ahead of the tag's end (or anywhere in
// the window if it has no end there), which leaves the tag to PassMarked.
[[gnu::always_inline]] inline bool PassDoubleQuoted(const TagMarks& marks, const char* tag, int nameEnd,
                                                    PassedTag& passed) {
  const uint64_t behindName = From(~uint64_t{0}, nameEnd);
  // The values in double quotes and their opening quotes, counting the quotes from the name's end.
  const uint64_t quoted = (marks.oddQuotes >> (nameEnd - 1) & 1 ? ~marks.oddQuotes : marks.oddQuotes) & behindName;
  const uint64_t closes = marks.closes & ~quoted & behindName;
  const uint64_t ahead = ((closes & (~closes + 1)) - 1) & behindName;  // the window when no end
  if ((marks.singleQuotes & ~quoted & ahead) != 0) return false;
  const uint64_t opening = marks.doubleQuotes & quoted & ahead, closing = marks.doubleQuotes & ~quoted & ahead;
  // Each value's quote follows an "=", and that a name's byte; no other "=" stands unquoted.
  const bool plain =
      (marks.equals & ~quoted & ahead) == opening >> 1 && (opening >> 2 & (marks.nameEnds | closing)) == 0;
  if (closes == 0 || !plain) return true;
  const int at = std::countr_zero(closes);
  const int next = FirstBehind(marks.opens, at);
  passed.behind = tag + at + 1;
  passed.selfClosing = tag[at - 1] == '/';  // the name's last byte at the least
  passed.nextOpen = next < kTagWindow ? tag + next : nullptr;
  return true;
}

// The tag's name from the same marks, and the tag passed over unless it is a start tag whose
// name asks for a look (a sketch is the same whatever the name's case).
[[gnu::always_inline]] inline PassedTag ReadMarked(const TagMarks& marks, const char* tag, int nameStart,
                                                   const NameSketches& lookedAt) {
  const uint64_t nameEnds = From(marks.nameEnds, nameStart);
  if (nameEnds == 0) return {};
  const int nameEnd = std::countr_zero(nameEnds);
  PassedTag passed{.nameEnd = tag + nameEnd, .capitals = (marks.capitals & ((uint64_t{1} << nameEnd) - 1)) != 0};
  const bool endTag = tag[nameStart - 1] == '/';
  if ((endTag || !lookedAt[NameSketch({tag + nameStart, static_cast<size_t>(nameEnd - nameStart)})]) &&
      !PassDoubleQuoted(marks, tag, nameEnd, passed))
    PassMarked(marks, tag, nameEnd, passed);
  return passed;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Behind the tags `passed` passed over, the next one from the same marks when it starts at
// the "<" seen next and is passed over in turn: an end tag whose ">" stands in the window
// with no quote before it (that ">" ends it whatever it holds), or a start tag passed over
// as the first was. False when there is none.
[[gnu::always_inline]] inline bool PassNext(const TagMarks& marks, const char* tag, const NameSketches& lookedAt,
                                            PassedTag& passed) {
  const int open = static_cast<int>(passed.nextOpen - tag);
  if (open + 3 >= kTagWindow) return false;
  PassedTag next;
  if (IsAsciiLetter(tag[open + 1])) {
    next = ReadMarked(marks, tag, open + 1, lookedAt);
  } else if (tag[open + 1] == '/' && IsAsciiLetter(tag[open + 2])) {
    const uint64_t closes = From(marks.closes, open + 3);
    const uint64_t before = (closes & (~closes + 1)) - 1;  // the window when no end
    if (closes == 0 || (From(marks.doubleQuotes | marks.singleQuotes, open + 3) & before) != 0) return false;
    const int at = std::countr_zero(closes);
    const int following = FirstBehind(marks.opens, at);
    next.behind = tag + at + 1;
    next.nextOpen = following < kTagWindow ? tag + following : nullptr;
  }
  if (next.behind == nullptr) return false;
  passed.behind = next.behind;
  passed.selfClosing = next.selfClosing;
  passed.nextOpen = next.nextOpen;
  return true;
}

// The tag read from its window, and when it was passed over and `onward`, the tags behind it
// that PassNext passes over.
[[gnu::always_inline]] inline PassedTag ReadMarkedOnward(const TagMarks& marks, const char* tag, int nameStart,
                                                         const NameSketches& lookedAt, bool onward) {
  PassedTag passed = ReadMarked(marks, tag, nameStart, lookedAt);
  if (!onward || passed.behind == nullptr) return passed;
  while (passed.nextOpen != nullptr && PassNext(marks, tag, lookedAt, passed)) continue;
  return passed;
}

PassedTag PassPlainly(const char* tag, int nameStart, const char* end, const NameSketches& lookedAt, bool onward) {
  return end - tag < kTagWindow ? PassedTag{} : ReadMarkedOnward(MarkPlainly(tag), tag, nameStart, lookedAt, onward);
}

#ifdef FOLIOSCRIBE_X86
PassedTag PassBySse2(const char* tag, int nameStart, const char* end, const NameSketches& lookedAt, bool onward) {
  return end - tag < kTagWindow ? PassedTag{} : ReadMarkedOnward(MarkSse2(tag), tag, nameStart, lookedAt, onward);
}
[[gnu::target("avx2,pclmul")]] PassedTag PassByAvx2(const char* tag, int nameStart, const char* end,
                                                    const NameSketches& lookedAt, bool onward) {
  return end - tag < kTagWindow ? PassedTag{} : ReadMarkedOnward(MarkAvx2(tag), tag, nameStart, lookedAt, onward);
}
[[gnu::target("avx512bw,pclmul")]] PassedTag PassByAvx512(const char* tag, int nameStart, const char* end,
                                                         const NameSketches& lookedAt, bool onward) {
  return end - tag < kTagWindow ? PassedTag{} : ReadMarkedOnward(MarkAvx512(tag), tag, nameStart, lookedAt, onward);
}
#endif

}  // namespace

bool CanMarkBy(TagMarking marking) {
#ifdef FOLIOSCRIBE_X86
  if (marking == TagMarking::kAvx512) return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("pclmul");
  if (marking == TagMarking::kAvx2) return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("pclmul");
  return true;
#else
  return marking == TagMarking::kPlainly;
#endif
}

PassPlainTag PassPlainTagBy(TagMarking marking) {
#ifdef FOLIOSCRIBE_X86
  if (marking == TagMarking::kAvx512) return PassByAvx512;
  if (marking == TagMarking::kAvx2) return PassByAvx2;
  if (marking == TagMarking::kSse2) return PassBySse2;
#endif
  return marking == TagMarking::kPlainly ? PassPlainly : nullptr;
}

PassPlainTag PassPlainTagHere() {
  static const PassPlainTag here = CanMarkBy(TagMarking::kAvx512) ? PassPlainTagBy(TagMarking::kAvx512)
                                   : CanMarkBy(TagMarking::kAvx2) ? PassPlainTagBy(TagMarking::kAvx2)
                                   : CanMarkBy(TagMarking::kSse2) ? PassPlainTagBy(TagMarking::kSse2)
                                                                  : PassPlainTagBy(TagMarking::kPlainly);
  return here;
}
