#include "ui/BackgroundJob.h"

#include <QThread>

BackgroundJob::~BackgroundJob() {
  if (!Busy()) return;
  Cancel();
  thread_->wait();
  delete thread_;
}

void BackgroundJob::Start(Job job) {
  if (Busy()) return;
  folders_ = items_ = pages_ = parsed_ = 0;
  control_ = std::make_unique<RunControl>();
  control_->onProgress = [this](const RunProgress& progress) {
    folders_.store(progress.folders, std::memory_order_relaxed);
    items_.store(progress.items, std::memory_order_relaxed);
    pages_.store(progress.pages, std::memory_order_relaxed);
    parsed_.store(progress.parsed, std::memory_order_relaxed);
    if (hook_) hook_(*control_);
  };
  thread_ = QThread::create([job = std::move(job), control = control_.get()] { job(*control); });
  connect(thread_, &QThread::finished, this, &BackgroundJob::OnThreadFinished);
  thread_->start();
}

void BackgroundJob::Cancel() {
  if (control_) control_->cancel = true;
}

RunProgress BackgroundJob::Progress() const {
  return {folders_.load(std::memory_order_relaxed), items_.load(std::memory_order_relaxed),
          pages_.load(std::memory_order_relaxed), parsed_.load(std::memory_order_relaxed)};
}

void BackgroundJob::OnThreadFinished() {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  emit finished();
}
