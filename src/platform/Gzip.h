#pragma once
#include <memory>
#include <string_view>

#include "common/TextSink.h"

// Compresses what is written to it into one gzip member that goes to `out`.
class GzipSink : public TextSink {
 public:
  // `out` must outlive the sink.
  explicit GzipSink(TextSink& out);
  ~GzipSink() override;
  GzipSink(const GzipSink&) = delete;
  GzipSink& operator=(const GzipSink&) = delete;

  void Write(std::string_view piece) override;
  // Writes the rest of the member and its trailer; false when compressing failed at any
  // point since the start. Nothing may be written after it.
  bool Finish();

 private:
  struct Stream;
  // Compresses what the stream holds as input; `flush` as zlib's deflate takes it.
  void Deflate(int flush);

  TextSink& out_;
  std::unique_ptr<Stream> stream_;
  bool failed_ = false;
};
