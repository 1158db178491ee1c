#include "platform/TextEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// A thread keeps the converter it used last: opening one loads the character set's module,
// and page after page in one set would load and unload it every time. Opening and closing
// go one at a time, as the loader's own bookkeeping is shared by every thread.
class ThreadConverter {
 public:
  ~ThreadConverter() { Close(); }
  // A converter from `charset` in its first state; -1 when iconv does not know the set.
  iconv_t For(const std::string& charset) {
    if (charset != charset_) {
      Close();
      const std::lock_guard lock(opening_);
      handle_ = iconv_open("UTF-8", charset.c_str());
      charset_ = charset;
    }
    if (IsOpen()) iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    return handle_;
  }
  bool IsOpen() const { return handle_ != kNone; }

 private:
  static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
  static inline std::mutex opening_;

  void Close() {
    if (!IsOpen()) return;
    const std::lock_guard lock(opening_);
    iconv_close(handle_);
    handle_ = kNone;
  }

  iconv_t handle_ = kNone;
  std::string charset_;
};

}  // namespace

std::optional<std::string> ConvertToUtf8(std::string_view text, const std::string& charset) {
  thread_local ThreadConverter converters;
  const iconv_t converter = converters.For(charset);
  if (!converters.IsOpen()) return std::nullopt;
  std::string converted;
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    converted.append(buffer, out - buffer);
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // A byte the set does not have, or a sequence cut short at the end.
    converted += kReplacement;
    ++in;
    --inLeft;
  }
  return converted;
}
