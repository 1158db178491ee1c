#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/Gzip.h"
#include "platform/ReplacementFile.h"
#include "tests/support/TempDir.h"

namespace {

// What gunzip makes of the file at `path`.
std::string Gunzipped(const std::string& path) {
  gzFile file = gzopen(path.c_str(), "rb");
  std::string text;
  char buffer[4096];
  for (int got; (got = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
  gzclose(file);
  return text;
}

TEST(GzipSink, WhatIsWrittenGunzipsToTheSameBytes) {
  TempDir dir;
  std::string text;
  // Far more than one chunk of output, and little to gain by compressing.
  for (uint32_t state = 1; text.size() < 300000; state = state * 1103515245 + 12345)
    text += static_cast<char>(state >> 16);
  for (const std::string& content : {text, std::string()}) {
    ReplacementFile file;
    ASSERT_TRUE(file.Open(dir / "a.gz"));
    GzipSink gzip(file);
    const size_t half = content.size() / 2;
    gzip.Write(content.substr(0, half));
    gzip.Write(content.substr(half));
    EXPECT_TRUE(gzip.Finish());
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Gunzipped(dir / "a.gz"), content);
    EXPECT_EQ(ReadFileForTest(dir / "a.gz").substr(0, 2), "\x1f\x8b");
  }
}

}  // namespace
