#pragma once
#include <signal.h>

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

// Lives around the making of a file and the arming of its removal, so that an ending signal
// comes before the file exists or after it is armed, never in between: this thread holds the
// signals back meanwhile, and the handler on another thread waits. Nothing in between may
// take a lock or allocate (a thread the signal stopped may hold the lock), so only the
// making and ArmRemovalOnSignal.
class MakingArmedFile {
 public:
  MakingArmedFile();
  ~MakingArmedFile();
  MakingArmedFile(const MakingArmedFile&) = delete;
  MakingArmedFile& operator=(const MakingArmedFile&) = delete;

  // False once an ending signal has come: its handler may have done its removals while this
  // thread ran on, so nothing is to be made.
  bool MayMake() const { return mayMake_; }

 private:
  sigset_t before_;
  bool mayMake_ = false;
};
