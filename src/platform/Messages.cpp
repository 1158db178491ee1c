#include "platform/Messages.h"

void ConsoleMessageSink::ShowMessage(const std::string& text) {
  // Message texts are written with Windows line ends; a terminal wants plain ones.
  std::string line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += text[i];
  }
  out_ << "folioscribe: " << line << '\n' << std::flush;
}
