#include "log/LogWriter.h"

#include <utility>

LogWriter::~LogWriter() { Finish(); }

void LogWriter::Queue(AppendFile& file, std::string& text) {
  std::unique_lock<std::mutex> guard(lock_);
  std::string next;
  if (!spare_.empty()) {
    next = std::move(spare_.back());
    spare_.pop_back();
  } else {
    // Room for as much again at once: grown line by line, it would be copied over and over.
    next.reserve(text.capacity());
  }
  Add({&file, std::exchange(text, std::move(next)), {}}, guard);
}

void LogWriter::Release(DetachedFile file) {
  std::unique_lock<std::mutex> guard(lock_);
  Add({nullptr, {}, std::move(file)}, guard);
}

void LogWriter::Add(Piece piece, std::unique_lock<std::mutex>& guard) {
  if (!thread_.joinable()) {
    finishing_ = false;
    thread_ = std::thread(&LogWriter::Run, this);
  }
  pieceTaken_.wait(guard, [this] { return waiting_.size() < kMaxWaiting; });
  waiting_.push_back(std::move(piece));
  // Woken with the lock held, the thread would only wait for it again.
  guard.unlock();
  pieceQueued_.notify_one();
}

void LogWriter::Finish() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> guard(lock_);
    finishing_ = true;
  }
  pieceQueued_.notify_one();
  thread_.join();
}

void LogWriter::Run() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    pieceQueued_.wait(guard, [this] { return !waiting_.empty() || finishing_; });
    if (waiting_.empty()) return;
    Piece piece = std::move(waiting_.front());
    waiting_.pop_front();
    // The disk is written without the lock: callers keep queuing meanwhile.
    guard.unlock();
    pieceTaken_.notify_all();
    if (piece.file != nullptr) piece.file->Append(piece.text);
    piece.removed.Close();
    piece.text.clear();
    guard.lock();
    if (piece.file != nullptr && spare_.size() < kMaxWaiting) spare_.push_back(std::move(piece.text));
  }
}
