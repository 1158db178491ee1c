#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/DetachedFile.h"
#include "platform/FileSystem.h"

// Appends pieces of text to open files, and frees removed files, on a thread of its own, so
// that a caller who logs many lines does not wait for the disk. The pieces reach their files
// in the order queued. Memory stays bounded: while kMaxWaiting pieces wait, a caller who
// queues another waits for the thread to take one. One caller at a time: the log's own lock
// sees to it.
class LogWriter {
 public:
  static constexpr size_t kMaxWaiting = 2;

  LogWriter() = default;
  // Finishes: no piece is lost at exit.
  ~LogWriter();
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;

  // Queues the contents of `text` for appending to `file`, starting the thread when none
  // runs. `file` must stay open and in place until Finish returns. `text` is left empty,
  // holding a spare buffer when one is free, or room for as much again.
  void Queue(AppendFile& file, std::string& text);
  // Queues the closing of `file`, which frees it, in the same way.
  void Release(DetachedFile file);
  // Returns once every queued piece is in its file, the thread ended. The next Queue starts
  // a new one.
  void Finish();

 private:
  // Text for a file, or a removed file to free.
  struct Piece {
    AppendFile* file = nullptr;
    std::string text;
    DetachedFile removed;
  };

  // Waits for room, then queues `piece` and lets go of `guard`; starts the thread when none
  // runs.
  void Add(Piece piece, std::unique_lock<std::mutex>& guard);
  void Run();

  std::mutex lock_;  // guards everything below but the thread handle, which is the caller's
  std::condition_variable pieceQueued_;
  std::condition_variable pieceTaken_;
  std::deque<Piece> waiting_;
  std::vector<std::string> spare_;  // written pieces' buffers, kept for their capacity
  bool finishing_ = false;
  std::thread thread_;
};
