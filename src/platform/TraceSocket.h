#pragma once
#include <signal.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Sends one log line to a trace viewer listening on the datagram socket
// $XDG_RUNTIME_DIR/folioscribe-trace.sock (or /tmp/folioscribe-<uid>/folioscribe-trace.sock).
// Never blocks; does nothing when no viewer listens, or when the socket belongs to another
// user, who would read the log. Lines over 1024 bytes are cut.
void SendToTraceViewer(const std::string& line);
// The socket path used by SendToTraceViewer, its private folder made when needed; empty
// when that folder cannot be had.
std::string TraceSocketPath();
// The folder `parent`/folioscribe-<uid>, made with mode 0700 when missing; empty unless it is
// a folder (not a link) of this user's that nobody else may enter, as $XDG_RUNTIME_DIR is.
std::string PrivateFolderIn(const std::string& parent);

// One socket to the trace viewer for many lines, sending as SendToTraceViewer does. Looking
// for a viewer costs a path lookup, so while none listens the link looks again only once
// `retryAfter` has passed since the last look; the lines in between go nowhere.
class TraceViewerLink {
 public:
  explicit TraceViewerLink(std::chrono::steady_clock::duration retryAfter);
  ~TraceViewerLink();
  TraceViewerLink(const TraceViewerLink&) = delete;
  TraceViewerLink& operator=(const TraceViewerLink&) = delete;

  void Send(const std::string& line);
  // The same with the clock already read: a log sending every line reads it once per line.
  void Send(std::string_view line, std::chrono::steady_clock::time_point now);

 private:
  // Connects to the viewer when the time has come to look; true when connected.
  bool Connect(std::chrono::steady_clock::time_point now);
  void Disconnect();

  const std::chrono::steady_clock::duration retryAfter_;
  std::chrono::steady_clock::time_point nextLook_{};
  int fd_ = -1;
};

// The viewer's end: binds the trace socket and receives the lines sent to it. While it
// listens, SIGINT and SIGTERM end the waiting instead of the process, so the socket goes.
class TraceListener {
 public:
  TraceListener() = default;
  ~TraceListener();  // closes and removes the socket, restores the signal handling
  TraceListener(const TraceListener&) = delete;
  TraceListener& operator=(const TraceListener&) = delete;

  // False with `problem` said when the socket cannot be bound or another viewer has it.
  bool Listen(std::string& problem);
  // Waits for the next line; nullopt once interrupted or on a failure.
  std::optional<std::string> NextLine();

 private:
  int fd_ = -1;
  std::string path_;
  struct sigaction oldInterrupt_ {};
  struct sigaction oldTerminate_ {};
};
