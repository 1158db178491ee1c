#include "platform/Gzip.h"

#include <zlib.h>

#include <string>

namespace {

constexpr size_t kChunkSize = 64 * 1024;
// 15 bits of window, plus 16: a gzip header and trailer around the deflate data.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;

}  // namespace

struct GzipSink::Stream {
  z_stream z{};
  bool open = false;
  std::string chunk = std::string(kChunkSize, '\0');
};

GzipSink::GzipSink(TextSink& out) : out_(out), stream_(std::make_unique<Stream>()) {
  stream_->open = deflateInit2(&stream_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits,
                               kMemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
  failed_ = !stream_->open;
}

GzipSink::~GzipSink() {
  if (stream_->open) deflateEnd(&stream_->z);
}

void GzipSink::Write(std::string_view piece) {
  if (failed_ || piece.empty()) return;
  // zlib takes a non-const pointer but does not write through it.
  stream_->z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
  stream_->z.avail_in = static_cast<uInt>(piece.size());
  Deflate(Z_NO_FLUSH);
}

bool GzipSink::Finish() {
  if (!failed_) {
    stream_->z.avail_in = 0;
    Deflate(Z_FINISH);
  }
  const bool whole = !failed_;
  failed_ = true;  // nothing more goes in
  return whole;
}

void GzipSink::Deflate(int flush) {
  z_stream& z = stream_->z;
  int result = Z_OK;
  // Until zlib leaves room in the chunk it has taken all input (and, finishing, ended).
  do {
    z.next_out = reinterpret_cast<Bytef*>(stream_->chunk.data());
    z.avail_out = static_cast<uInt>(stream_->chunk.size());
    result = deflate(&z, flush);
    if (result == Z_STREAM_ERROR) {
      failed_ = true;
      return;
    }
    out_.Write(std::string_view(stream_->chunk.data(), stream_->chunk.size() - z.avail_out));
  } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
}
