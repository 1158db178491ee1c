#include "platform/StandardOutput.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/FdIo.h"

namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

StandardOutputBuffer::StandardOutputBuffer() {
  std::signal(SIGPIPE, SIG_IGN);
  buffer_.reserve(kBufferSize);
}

StandardOutputBuffer::~StandardOutputBuffer() { WriteOut(); }

bool StandardOutputBuffer::WriteOut() {
  if (error_ == 0 && !buffer_.empty() && !WriteAll(STDOUT_FILENO, buffer_)) error_ = errno;
  buffer_.clear();
  return error_ == 0;
}

StandardOutputBuffer::int_type StandardOutputBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  buffer_ += traits_type::to_char_type(c);
  if (buffer_.size() >= kBufferSize && !WriteOut()) return traits_type::eof();
  return c;
}

std::streamsize StandardOutputBuffer::xsputn(const char* text, std::streamsize count) {
  buffer_.append(text, static_cast<size_t>(count));
  if (buffer_.size() >= kBufferSize && !WriteOut()) return 0;
  return count;
}

int StandardOutputBuffer::sync() { return WriteOut() ? 0 : -1; }

std::string StandardOutputBuffer::Problem() {
  WriteOut();
  return error_ == 0 ? "" : std::strerror(error_);
}
