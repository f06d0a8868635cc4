// Live shading: the map shaded again after every accepted change that the
// next run reads, through the same path as a click of "Тонировать".
//
// The run is synchronous on the window's thread, so no event arrives while it
// lasts; the changes that come in the meantime wait in the queue, are all
// handled after it, and ask for one run between them. A single-shot timer and
// a pending flag make that one run: the timer is started (again) by every
// change, and its tick runs only when something changed since the last run.
#include <QElapsedTimer>
#include <QTimer>

#include "main_window/form1.h"
#include "toolkit/guard.h"

namespace korvalen {

namespace {
// A map that shades faster than a frame follows each key; a slower one waits
// until the typing pauses, so that keys are never held back by runs whose
// picture is replaced at once.
constexpr qint64 kFrameNanoseconds = 16'000'000;
constexpr int kTypingPauseMs = 150;
}  // namespace

void Form1::setLiveShading(bool on) {
  if (on == liveShading_) return;
  liveShading_ = on;
  if (on) {
    // The map catches up with the values as they stand.
    requestLiveRun();
  } else {
    livePending_ = false;
    liveTimer_->stop();
  }
  emit viewOptionsChanged();
}

bool Form1::liveRunPending() const { return livePending_ || liveTimer_->isActive(); }

void Form1::requestLiveRun() {
  if (!liveShading_) return;
  livePending_ = true;
  liveTimer_->start(lastRunNanoseconds_ < kFrameNanoseconds ? 0 : kTypingPauseMs);
}

void Form1::boxChanged(const TextBox* box) {
  if (box->backColour() == kNotAccepted) return;
  // The boxes without a colour of their own (s and n), and Text1, whose own
  // reading takes any text, are read by the run with the user's locale.
  const bool runReads = box == Text1 || box == Text2 || box == Text3[0] || box == Text4[0] ||
                        box == Text5 || box == Text6 || box == Text9;
  if (runReads && !localeReading(box->text())) return;
  requestLiveRun();
}

void Form1::liveTimerTick() {
  if (!livePending_ || !liveShading_) return;
  livePending_ = false;
  ++liveRuns_;
  // Exactly what a click does, failure notice and probe included.
  runGuarded(Command1->onClick);
  // A change made by the run itself asks for one more.
  if (livePending_) requestLiveRun();
}

// "Тонировать": the run, and what the files need of it. The command line is
// read before the run, from the boxes the run reads; a run that stops on an
// error leaves the last completed run for the table of values.
void Form1::shadeAndRecord() {
  QElapsedTimer clock;
  clock.start();
  mapLine_ = currentCommandLine();
  // The probe's caption tells a value of the map this run replaces; a run
  // that stops leaves it hidden.
  Label12->hide();
  // The marks belong to the map they were placed on: a run that stops leaves none.
  Picture1->setOverlay({});
  Command1_Click();
  MapRunState s{st.view, st.lm, st.map, st.mirror, Picture1->raster().widthPixels(),
                Picture1->raster().heightPixels()};
  lastRun_ = CompletedRun{s, mapLine_};
  saveValuesAction->setEnabled(true);
  redrawMarks();
  lastRunNanoseconds_ = clock.nsecsElapsed();
  // The new map's value under a pointer that has not moved since, as a move there shows it.
  if (const std::optional<QPointF> at = Picture1->pointerPosition())
    Picture1_MouseMove(static_cast<float>(at->x()), static_cast<float>(at->y()));
}

}  // namespace korvalen
