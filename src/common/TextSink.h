#pragma once
#include <ostream>
#include <string>
#include <string_view>

// Where a long text goes piece by piece, so that nobody has to hold it whole.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view piece) = 0;
};

// Collects the pieces in memory: for texts known to be small.
class StringSink : public TextSink {
 public:
  void Write(std::string_view piece) override { text.append(piece); }
  std::string text;
};

// Passes the pieces on to a stream.
class StreamSink : public TextSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}
  void Write(std::string_view piece) override { out_ << piece; }

 private:
  std::ostream& out_;
};

// Drops the pieces: for a walk that only counts.
class DiscardingSink : public TextSink {
 public:
  void Write(std::string_view) override {}
};
