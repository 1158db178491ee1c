#pragma once
#include <string>

// Sends one log line to a trace viewer listening on the datagram socket
// $XDG_RUNTIME_DIR/folioscribe-trace.sock (or /tmp/folioscribe-trace-<uid>.sock).
// Never blocks; does nothing when no viewer listens. Lines over 1024 bytes are cut.
void SendToTraceViewer(const std::string& line);
// The socket path used by SendToTraceViewer.
std::string TraceSocketPath();
