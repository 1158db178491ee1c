#pragma once
#include <string>
#include <vector>

#include "platform/Messages.h"

// Keeps the messages a run shows, in order, instead of showing them.
class RecordingSink : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};
