// Holding Up in the inclination box with live shading on, offscreen: the keys
// come as a keyboard's auto-repeat sends them (queued by the window system
// whether or not the window is busy), and each is timed from the moment it was
// queued to the moment the box takes it. Prints the runs per second and the
// waits of the keys. Run: QT_QPA_PLATFORM=offscreen korvalen_live_sweep [keys per second] [keys]
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <vector>

#include "main_window/form1.h"

namespace {

class KeyClock : public QObject {
 public:
  QElapsedTimer clock;
  std::deque<qint64> queued;
  std::vector<qint64> waits;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress && !queued.empty()) {
      waits.push_back(clock.nsecsElapsed() - queued.front());
      queued.pop_front();
    }
    return false;
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  korvalen::installFontSubstitutions();
  const int rate = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const int keys = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
  korvalen::Form1 form;
  form.show();
  while (form.Timer1->enabled()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  form.setLiveShading(true);
  while (form.liveRunPending()) QApplication::processEvents();
  const long runsBefore = form.liveRuns();
  korvalen::TextBox* box = form.Text4[0];
  box->setFocus();

  KeyClock keyClock;
  box->installEventFilter(&keyClock);
  keyClock.clock.start();
  int sent = 0;
  QTimer repeat;
  repeat.setTimerType(Qt::PreciseTimer);
  // The keys are due at fixed times; a timer held back by a run sends the ones it missed at once.
  QObject::connect(&repeat, &QTimer::timeout, [&] {
    const qint64 now = keyClock.clock.nsecsElapsed();
    while (sent < keys && static_cast<qint64>(sent) * 1'000'000'000 / rate <= now) {
      keyClock.queued.push_back(static_cast<qint64>(sent) * 1'000'000'000 / rate);
      QApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, {}, sent > 0));
      QApplication::postEvent(box, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, {}, true));
      ++sent;
    }
    if (sent == keys) repeat.stop();
  });
  repeat.start(1);
  while (sent < keys || !keyClock.queued.empty() || form.liveRunPending()) QApplication::processEvents();
  const double seconds = keyClock.clock.nsecsElapsed() / 1e9;
  const long runs = form.liveRuns() - runsBefore;
  std::sort(keyClock.waits.begin(), keyClock.waits.end());
  auto ms = [](qint64 ns) { return ns / 1e6; };
  std::printf("keys %d at %d/s, text now %s\n", keys, rate, qPrintable(box->text()));
  std::printf("runs %ld in %.2f s: %.1f runs/s\n", runs, seconds, runs / seconds);
  std::printf("key waits: median %.2f ms, 99th %.2f ms, longest %.2f ms\n",
              ms(keyClock.waits[keyClock.waits.size() / 2]),
              ms(keyClock.waits[keyClock.waits.size() * 99 / 100]), ms(keyClock.waits.back()));
  return 0;
}
