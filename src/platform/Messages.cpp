#include "platform/Messages.h"

#include "common/Text.h"

void ConsoleMessageSink::ShowMessage(const std::string& text) {
  // Message texts are written with Windows line ends; a terminal wants plain ones.
  out_ << "folioscribe: " << UnixLineEnds(text) << '\n' << std::flush;
}
