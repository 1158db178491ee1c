#pragma once
#include <ostream>

// The commands that only print and exit; each returns the exit status.

// "--list-profiles": one "name  path" line per profile found, in look-up order.
int ListProfiles(std::ostream& out);
// "--trace-viewer": prints each log line sent to the trace socket until interrupted.
// `err` says where it listens unless `quiet`.
int RunTraceViewer(std::ostream& out, std::ostream& err, bool quiet);
