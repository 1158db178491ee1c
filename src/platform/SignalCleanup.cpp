#include "platform/SignalCleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler may run at any moment on any thread, so a slot's path is written while the
// slot is merely taken and read only once it is armed; atomics of int are lock-free.
enum SlotState : int { kFree, kTaken, kArmed };
struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);
// A map split into parts holds a temporary file for each until all are whole.
constinit Slot slots[64];  // zeros: no start-up work, no pages touched
// Threads holding the signals back (EndingSignalsHeld).
constinit std::atomic<int> holding{0};
// An ending signal came: the other threads run on until it ends the process, but neither
// make nor put in place a file.
constinit std::atomic<bool> signalled{false};

// Only async-signal-safe calls: unlink, sigaction, raise.
extern "C" void RemoveFilesAndEnd(int signal) {
  signalled.store(true);
  while (holding.load() > 0) {}  // a moment: a file made is about to be armed, or files put in place
  for (Slot& slot : slots)
    if (slot.state.load() == kArmed) unlink(slot.path);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  // Blocked while the handler runs: delivered on return, ending the process by this signal.
  raise(signal);
}

sigset_t EndingSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : kEndingSignals) sigaddset(&signals, signal);
  return signals;
}

void InstallHandlers() {
  for (int signal : kEndingSignals) {
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    // Ignored (nohup) or taken by someone else: not ours to change.
    if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) continue;
    struct sigaction handler {};
    handler.sa_handler = RemoveFilesAndEnd;
    handler.sa_mask = EndingSignals();
    sigaction(signal, &handler, nullptr);
  }
}

// Once the handler is in place, arming makes no system call and takes no lock.
void ReadyRemovalOnSignal() {
  static std::once_flag installed;
  std::call_once(installed, InstallHandlers);
}

}  // namespace

int ArmRemovalOnSignal(const std::string& path) {
  ReadyRemovalOnSignal();
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kTaken)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].state.store(kArmed);
    return i;
  }
  return -1;
}

void DisarmRemovalOnSignal(int slot) {
  if (slot >= 0 && slot < static_cast<int>(std::size(slots))) slots[slot].state.store(kFree);
}

EndingSignalsHeld::EndingSignalsHeld() {
  ReadyRemovalOnSignal();
  // Held back first: the handler must not run on this thread while it counts as holding.
  const sigset_t ending = EndingSignals();
  pthread_sigmask(SIG_BLOCK, &ending, &before_);
  holding.fetch_add(1);
  // Looked at once counted: a handler that came first has removed what it will remove.
  signalCame_ = signalled.load();
}

EndingSignalsHeld::~EndingSignalsHeld() {
  holding.fetch_sub(1);
  pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}
