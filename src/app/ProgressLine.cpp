#include "app/ProgressLine.h"

#include <charconv>
#include <string>

#include "common/Text.h"
#include "platform/Program.h"

namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};
constexpr std::chrono::milliseconds kDefaultDelay{1000};
// Back to the line's start and everything right of the cursor erased.
constexpr const char* kClearLine = "\r\x1b[K";

std::chrono::milliseconds DelayFromEnvironment() {
  const std::string value = EnvironmentValue("FOLIOSCRIBE_PROGRESS_DELAY_MS");
  const char* const last = value.data() + value.size();
  int milliseconds = 0;
  const auto [end, error] = std::from_chars(value.data(), last, milliseconds);
  const bool valid = !value.empty() && error == std::errc() && end == last;
  return valid ? std::chrono::milliseconds(milliseconds) : kDefaultDelay;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, bool shown, std::chrono::milliseconds delay)
    : err_(err),
      shown_(shown),
      start_(CoarseSteadyTime()),
      shownAt_(start_ + delay),
      nextDraw_(shownAt_) {}

ProgressLine::~ProgressLine() {
  if (drawn_) err_ << kClearLine << std::flush;
}

void ProgressLine::Follow(RunControl& control) {
  if (shown_) control.onProgress = [this](const RunProgress& progress) { Update(progress); };
}

void ProgressLine::Update(const RunProgress& progress) {
  const auto now = CoarseSteadyTime();
  if (!shown_ || now < nextDraw_) return;
  nextDraw_ = now + kRedrawInterval;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const auto perSecond = static_cast<int64_t>(seconds > 0 ? double(progress.pages) / seconds : 0);
  err_ << kClearLine << "folioscribe: " << Counted(progress.folders, "folder") << ", "
       << Counted(progress.items, "item") << ", " << Counted(progress.parsed, "page") << " parsed, "
       << Counted(progress.pages, "page")
       << " crawled, " << GroupedNumber(perSecond) << " pages/s" << std::flush;
  drawn_ = true;
}

ProgressLine BatchProgressLine(std::ostream& err, bool quiet) {
  return ProgressLine(err, !quiet && StandardErrorIsTerminal(), DelayFromEnvironment());
}
