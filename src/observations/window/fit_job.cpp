#include "observation_window/fit_job.h"

#include <QMetaObject>
#include <exception>
#include <new>

namespace korvalen {

FitJob::FitJob(QObject* parent) : QObject(parent) {}

FitJob::~FitJob() {
  if (!thread_.joinable()) return;
  control_->cancel = true;
  thread_.join();
  // The result it handed over is dropped with this object's posted events.
}

bool FitJob::start(Work work) {
  if (running()) return false;
  control_ = std::make_unique<FitControl>();
  FitControl* control = control_.get();
  thread_ = std::thread([this, control, work = std::move(work)] {
    std::function<void()> deliver;
    try {
      deliver = work(*control);
    } catch (const std::bad_alloc&) {
      deliver = [this] { emit failed(QStringLiteral("Подбор прерван: не хватило памяти.")); };
    } catch (const std::exception& e) {
      const QString what = QString::fromUtf8(e.what());
      deliver = [this, what] { emit failed(QStringLiteral("Подбор прерван ошибкой: %1").arg(what)); };
    }
    QMetaObject::invokeMethod(
        this,
        [this, deliver = std::move(deliver)] {
          thread_.join();  // it has nothing left to do but return
          if (deliver) deliver();
        },
        Qt::QueuedConnection);
  });
  return true;
}

void FitJob::cancel() {
  if (control_) control_->cancel = true;
}

int FitJob::startsDone() const { return control_ ? control_->startsDone.load() : 0; }
int FitJob::startsTotal() const { return control_ ? control_->startsTotal.load() : 0; }

}  // namespace korvalen
