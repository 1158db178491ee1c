#include "platform/Messages.h"

#include <algorithm>
#include <string>

void ConsoleMessageSink::ShowMessage(const std::string& text) {
  // The dialog's texts break lines with CR LF; on a console each message is one line.
  std::string line;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find("\r\n", start), text.size());
    line.append(line.empty() ? "" : " ").append(text, start, end - start);
    start = end + 2;
  }
  out_ << "folioscribe: " << line << '\n' << std::flush;
}
