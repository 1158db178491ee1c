#pragma once
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

#include "common/RunControl.h"

class QThread;

// Runs one job at a time in a thread of its own, so the dialog stays responsive. The job
// gets a control that Cancel() stops and that reports its progress here.
class BackgroundJob : public QObject {
  Q_OBJECT

 public:
  using Job = std::function<void(RunControl&)>;
  using Hook = std::function<void(const RunControl&)>;

  explicit BackgroundJob(QObject* parent = nullptr) : QObject(parent) {}
  // Cancels a running job and waits for its end.
  ~BackgroundJob() override;

  bool Busy() const { return thread_ != nullptr; }
  // Starts `job`; does nothing while another is busy.
  void Start(Job job);
  void Cancel();
  // Runs `hook` on the job's thread after each step the job reports (tests hold a job
  // still with it); set it while no job is busy.
  void SetHook(Hook hook) { hook_ = std::move(hook); }
  // How far the running (or last) job has got; safe to read while it runs.
  RunProgress Progress() const;

 signals:
  // On the dialog's thread, once the job has returned.
  void finished();

 private:
  void OnThreadFinished();

  QThread* thread_ = nullptr;
  std::unique_ptr<RunControl> control_;
  Hook hook_;
  std::atomic<int64_t> folders_{0}, items_{0}, pages_{0}, parsed_{0};
};
