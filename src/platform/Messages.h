#pragma once
#include <ostream>
#include <string>

// Where messages that the user must see go: message boxes in the dialog, standard error
// in a headless run.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows `text` and returns once the user has seen it (OK pressed, or line written).
  virtual void ShowMessage(const std::string& text) = 0;
};

// Writes "folioscribe: <text>" lines to a stream, one per message: the lines a dialog
// shows (ended by CR LF) are joined by a blank.
class ConsoleMessageSink : public MessageSink {
 public:
  explicit ConsoleMessageSink(std::ostream& out) : out_(out) {}
  void ShowMessage(const std::string& text) override;

 private:
  std::ostream& out_;
};
