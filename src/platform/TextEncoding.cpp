#include "platform/TextEncoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class IconvHandle {
 public:
  explicit IconvHandle(const std::string& from) : handle_(iconv_open("UTF-8", from.c_str())) {}
  ~IconvHandle() {
    if (IsOpen()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

std::optional<std::string> ConvertToUtf8(std::string_view text, const std::string& charset) {
  IconvHandle converter(charset);
  if (!converter.IsOpen()) return std::nullopt;
  std::string converted;
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
    converted.append(buffer, out - buffer);
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // A byte the set does not have, or a sequence cut short at the end.
    converted += kReplacement;
    ++in;
    --inLeft;
  }
  return converted;
}
