#pragma once
#include <cstdint>
#include <string>

// A text with case-optional search and replace. Positions are byte offsets; -1 means
// "not found". Ignoring case lower-cases ASCII letters only, so positions found in the
// folded copy are valid in the text itself.
class TextBuffer {
 public:
  TextBuffer() = default;
  explicit TextBuffer(std::string text) : text_(std::move(text)) {}
  virtual ~TextBuffer() = default;
  TextBuffer(const TextBuffer&) = default;
  TextBuffer& operator=(const TextBuffer&) = default;

  const std::string& Text() const { return text_; }
  std::string& Text() { return text_; }

  // Position of the first occurrence of `what` at or after `start`, or -1.
  int64_t FindFrom(const std::string& what, int64_t start, bool ignoreCase) const;
  // Replaces the first occurrence at or after `start`; returns its position, or -1.
  int64_t ReplaceFirst(const std::string& what, const std::string& replacement, bool ignoreCase,
                       int64_t start);
  // Replaces every occurrence, resuming behind each inserted replacement (so a replacement
  // holding `what` is not searched again); returns the number of replacements.
  int64_t ReplaceAll(const std::string& what, const std::string& replacement, bool ignoreCase);
  // The characters from `first` through `last`, both included (clamped to the text).
  TextBuffer Mid(int64_t first, int64_t last) const;
  // Appends `number` in decimal.
  void AppendNumber(int64_t number);

 private:
  std::string text_;
};
