#pragma once
// One fit or comparison at a time, on a thread of its own, so that the window
// answers while it runs. The work runs there and gives back what is to be
// done with its result; that runs on the window's thread, as a queued call,
// once the work has ended. Cancelled or not, the work always ends and hands
// back; a job destroyed while its work runs cancels it and waits for it.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <thread>

#include "observations/fit.h"

namespace korvalen {

class FitJob : public QObject {
  Q_OBJECT
 public:
  // Runs on the job's thread; the function it returns runs on the window's.
  using Work = std::function<std::function<void()>(FitControl& control)>;

  explicit FitJob(QObject* parent = nullptr);
  ~FitJob() override;

  // Starts the work; false (and nothing started) while other work runs.
  bool start(Work work);
  // Asks the running work to stop at its next check.
  void cancel();
  // From the work's start until its result has been handed over.
  bool running() const { return thread_.joinable(); }
  int startsDone() const;
  int startsTotal() const;

 signals:
  // The work failed with an exception (no memory, say): what to tell the user.
  void failed(const QString& message);

 private:
  std::unique_ptr<FitControl> control_;
  std::thread thread_;
};

}  // namespace korvalen
