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

// While one lives, an ending signal waits: this thread holds it back, and the handler on
// another thread waits for the holder to go. For steps that a signal must not cut in two:
// the making of a file and the arming of its removal, so that a signal comes before the file
// exists or after it is armed; the putting in place of files that go together. Nothing in
// between may take a lock or allocate (a thread the signal stopped may hold the lock).
class EndingSignalsHeld {
 public:
  EndingSignalsHeld();
  ~EndingSignalsHeld();
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

  // Whether an ending signal came before: its handler may have removed the armed files while
  // this thread ran on, so nothing is to be made or put in place.
  bool SignalCame() const { return signalCame_; }

 private:
  sigset_t before_;
  bool signalCame_ = false;
};
