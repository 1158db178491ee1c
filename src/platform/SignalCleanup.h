#pragma once
#include <string>

// Files to remove should SIGINT, SIGTERM or SIGHUP end the process, so that a stopped run
// leaves no temporary file behind. The handler removes them, then lets the signal end the
// process as it would have. A signal the process ignores or handles itself is left alone.

// Arms the removal of `path` (kept as given, so relative to the current folder when
// relative). Returns the slot to disarm, or -1 when the path is too long or every slot is
// taken; the file is then merely not removed on a signal.
int ArmRemovalOnSignal(const std::string& path);
// Forgets the slot `slot` (-1 does nothing).
void DisarmRemovalOnSignal(int slot);
