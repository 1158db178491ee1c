#include "links/PageTitle.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "common/Text.h"
#include "links/HtmlTokenizer.h"
#include "links/PageCharset.h"
#include "log/TraceLog.h"
#include "platform/RegularFile.h"
#include "platform/TextEncoding.h"

namespace {

// Matches `c` against the set that begins behind the "[" at `k`; moves `k` behind the "]".
// An unclosed "[" stands for itself.
bool MatchSet(const std::string& pattern, size_t& k, char c, bool ignoreCase) {
  const size_t close = pattern.find(']', k + 2);
  if (close == std::string::npos) return pattern[k++] == c;
  size_t i = k + 1;
  const bool negated = pattern[i] == '!' || pattern[i] == '^';
  if (negated) ++i;
  const char folded = ignoreCase ? ToLowerAscii(c) : c;
  bool in = false;
  for (; i < close; ++i) {
    char low = pattern[i];
    char high = low;
    if (i + 2 < close && pattern[i + 1] == '-') {
      high = pattern[i + 2];
      i += 2;
    }
    if (ignoreCase) {
      low = ToLowerAscii(low);
      high = ToLowerAscii(high);
    }
    in = in || (folded >= low && folded <= high);
  }
  k = close + 1;
  return in != negated;
}

// Matches one pattern element at `k` against `c`, moving `k` behind it on success.
bool MatchOne(const std::string& pattern, size_t& k, char c, bool ignoreCase) {
  if (pattern[k] == '[') {
    size_t next = k;
    if (!MatchSet(pattern, next, c, ignoreCase)) return false;
    k = next;
    return true;
  }
  const bool same = pattern[k] == '?' || pattern[k] == c ||
                    (ignoreCase && ToLowerAscii(pattern[k]) == ToLowerAscii(c));
  if (same) ++k;
  return same;
}

// Whether `pattern` (which ends with "*") matches the text from `p`. A "*" takes the
// shortest run first; on a mismatch the last "*" takes one character more.
bool MatchAt(const std::string& text, size_t p, const std::string& pattern, bool ignoreCase) {
  size_t t = p;
  size_t k = 0;
  size_t starK = std::string::npos;
  size_t starT = 0;
  while (k < pattern.size()) {
    if (pattern[k] == '*') {
      starK = k++;
      starT = t;
    } else if (t < text.size() && MatchOne(pattern, k, text[t], ignoreCase)) {
      ++t;
    } else if (starK != std::string::npos && starT < text.size()) {
      k = starK + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  return true;
}

// The content of the page's first title element, as written; nullopt when there is none
// or its end tag is missing.
std::optional<std::string_view> TitleElementText(std::string_view page) {
  HtmlTokenizer tokenizer(page);
  tokenizer.KeepAttributesOf([](std::string_view) { return false; }, {});  // the title needs none
  HtmlToken token;
  while (tokenizer.Next(token)) {
    if (token.kind != HtmlToken::Kind::kStartTag || token.name != "title") continue;
    std::string_view title;
    if (tokenizer.Next(token) && token.kind == HtmlToken::Kind::kText) {
      title = token.text;
      if (!tokenizer.Next(token)) return std::nullopt;
    }
    if (token.kind == HtmlToken::Kind::kEndTag && token.name == "title") return title;
    return std::nullopt;
  }
  return std::nullopt;
}

// Whether `text` holds all that decides its title.
bool TitleSettled(std::string_view text) { return TitleElementText(text).has_value(); }

// A UTF-16 page, told by its byte-order mark, is read as UTF-8 text; others stay bytes.
constexpr std::string_view kUtf16Le = "\xFF\xFE", kUtf16Be = "\xFE\xFF";
bool IsUtf16(std::string_view text) { return text.starts_with(kUtf16Le) || text.starts_with(kUtf16Be); }

void ToUtf8(std::string& text) {
  const char* charset = text.starts_with(kUtf16Le) ? "UTF-16LE" : "UTF-16BE";
  std::string converted = ConvertToUtf8(std::string_view(text).substr(2), charset).value_or("");
  text.assign(converted.substr(0, converted.find('\0')));
}

// Reads `file` into `text` in pieces of doubling size until its end, a zero byte, `maxBytes`
// or `enough`; so a search of the whole text after each piece stays linear.
PageRead ReadPieces(RegularFile& file, uint64_t maxBytes, std::string& text,
                    bool (*enough)(std::string_view)) {
  const uint64_t end = std::min(file.Size(), maxBytes);
  // Room for all it claims at once: a page that grew piece by piece would briefly take up to
  // three times its size while being copied. Room not written to costs no memory.
  text.reserve(static_cast<size_t>(end));
  size_t piece = 64 * 1024;
  while (text.size() < end) {
    const size_t from = text.size();
    const int64_t got = file.ReadMore(text, std::min<uint64_t>(piece, end - from));
    if (got < 0) return PageRead::kUnreadable;
    if (got == 0) break;
    piece *= 2;
    // Zero bytes are part of UTF-16 text, which is read whole.
    if (IsUtf16(text)) continue;
    if (const void* zero = std::memchr(text.data() + from, 0, text.size() - from)) {
      text.resize(static_cast<size_t>(static_cast<const char*>(zero) - text.data()));
      break;
    }
    if (enough && enough(text)) break;
  }
  return PageRead::kRead;
}

PageRead ReadPageUntil(const std::string& path, int64_t maxBytes, std::string& text,
                       bool (*enough)(std::string_view), RegularFile::Known known) {
  text.clear();
  RegularFile file(path, known);
  if (!file.IsOpen()) return PageRead::kUnreadable;
  if (file.Size() > static_cast<uint64_t>(maxBytes)) return PageRead::kTooLarge;
  const PageRead read = ReadPieces(file, static_cast<uint64_t>(maxBytes), text, enough);
  if (read == PageRead::kRead && IsUtf16(text)) ToUtf8(text);
  return read;
}

}  // namespace

PageRead ReadPage(const std::string& path, int64_t maxBytes, std::string& text, RegularFile::Known known) {
  return ReadPageUntil(path, maxBytes, text, nullptr, known);
}

void TraceTooLarge(const std::string& path, int64_t maxBytes) {
  TraceProblem("Not read, larger than nMaxPageBytes=" + std::to_string(maxBytes) + ":" + path);
}

std::optional<std::string> TryReadTextFile(const std::string& path, int64_t maxBytes) {
  std::string text;
  const PageRead read = ReadPage(path, maxBytes, text);
  if (read == PageRead::kTooLarge) TraceTooLarge(path, maxBytes);
  if (read != PageRead::kRead) return std::nullopt;
  return text;
}

std::string ReadTextFile(const std::string& path) { return TryReadTextFile(path).value_or(""); }

int64_t WildcardFind(const std::string& text, const std::string& pattern, bool ignoreCase) {
  const std::string anchored = pattern.ends_with('*') ? pattern : pattern + '*';
  for (size_t p = 0; p <= text.size(); ++p) {
    if (MatchAt(text, p, anchored, ignoreCase)) return static_cast<int64_t>(p);
  }
  return -1;
}

PageRead ReadPageHead(const std::string& path, int64_t maxBytes, std::string& text, RegularFile::Known known) {
  return ReadPageUntil(path, maxBytes, text, TitleSettled, known);
}

std::optional<std::string> ReadPageTitle(const std::string& path, int64_t maxBytes) {
  std::string head;
  const PageRead read = ReadPageHead(path, maxBytes, head);
  if (read == PageRead::kTooLarge) TraceTooLarge(path, maxBytes);
  if (read == PageRead::kUnreadable) return std::nullopt;
  return TitleInText(head);
}

std::string GetPageTitle(const std::string& path, int64_t maxBytes) {
  return ReadPageTitle(path, maxBytes).value_or("");
}

std::string TitleInText(const std::string& text) {
  const std::optional<std::string_view> title = TitleElementText(text);
  return title ? PageTextToUtf8(*title, text) : std::string();
}

FolderRelativePath PageTitles::PathOf(size_t record) const {
  const Record& found = records_[record];
  return {texts_.At(found.path, found.pathLength), found.belowFolder == 1};
}

void PageTitles::Remember(std::string_view path, std::string_view title) {
  if (records_.empty()) folder_ = FolderRelativePath::FolderOf(path);
  slots_.Reserve(records_.size() + 1, [this](size_t record) { return PathOf(record).Hash(); });
  const FolderRelativePath kept = FolderRelativePath::Of(folder_, path);
  const uint64_t hash = kept.Hash();
  HashSlots::Slot& slot = slots_.Find(hash, [&](size_t record) { return PathOf(record) == kept; });
  const Record record{texts_.Append(kept.rest, title), static_cast<uint32_t>(kept.rest.size()),
                      kept.belowFolder, static_cast<uint32_t>(title.size())};
  if (!slot.Free()) {
    records_[slot.Position()] = record;  // remembered again: the new title holds
    return;
  }
  slot.Fill(hash, records_.size());
  records_.push_back(record);
}

std::string PageTitles::Of(const std::string& path) const { return TryOf(path).value_or(""); }

std::optional<std::string> PageTitles::TryOf(const std::string& path) const {
  const FolderRelativePath kept = FolderRelativePath::Of(folder_, path);
  const HashSlots::Slot* slot = slots_.FindUsed(kept.Hash(), [&](size_t record) { return PathOf(record) == kept; });
  if (slot == nullptr) return ReadPageTitle(path, maxPageBytes_);
  const Record& record = records_[slot->Position()];
  return std::string(texts_.At(record.path, record.pathLength + record.titleLength).substr(record.pathLength));
}

void PageTitles::Prefetch(const std::string& path, int step) const {
  const uint64_t hash = FolderRelativePath::Of(folder_, path).Hash();
  if (step == 0) return slots_.Prefetch(hash);
  const HashSlots::Slot* slot = slots_.Probable(hash);
  if (slot == nullptr) return;
  const Record& record = records_[slot->Position()];
  if (step == 1) return __builtin_prefetch(&record);
  __builtin_prefetch(texts_.At(record.path, 0).data());
}
