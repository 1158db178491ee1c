#pragma once
#include <streambuf>
#include <string>

// Standard output as a stream buffer that remembers why a write failed, so that a full disk
// or a reader that went away is said, not lost in a silently failed stream. A broken pipe
// ends no process here: its writes fail with EPIPE instead.
class StandardOutputBuffer : public std::streambuf {
 public:
  StandardOutputBuffer();
  ~StandardOutputBuffer() override;
  StandardOutputBuffer(const StandardOutputBuffer&) = delete;
  StandardOutputBuffer& operator=(const StandardOutputBuffer&) = delete;

  // Writes what waits; then the system's reason for the first failed write, or empty.
  std::string Problem();

 private:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;
  bool WriteOut();

  std::string buffer_;
  int error_ = 0;
};
