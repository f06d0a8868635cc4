// The map: the shading run of "Тонировать" and the cursor probe over it.
#include <QElapsedTimer>
#include <QProgressBar>
#include <cmath>

#include "about_window/frm_about.h"
#include "export/quantity.h"
#include "example_hemisphere/example_hemisphere.h"
#include "main_window/form1.h"
#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "photometry/probe.h"
#include "shading/shading.h"

namespace korvalen {

void Form1::Command1_Click() {
  // From the first click on, the probe works, whatever happens later in the run.
  st.map.probeDisabled = kFalse;
  // The busy pointer for as long as the run lasts.
  setMousePointer(this, kPointerBusy);
  // The rotation, each angle read just before it is set up.
  setUpRotationOX(st.view, localeNumber(Text1->text()));
  setUpRotationOY(st.view, localeNumber(Text2->text()));
  setUpRotationOZ(st.view, localeNumber(Text3[0]->text()));
  // The note shows only for the start-up view.
  Label17->setVisible(st.view.sinRotOX == 1 && st.view.rotAngleOY == 0 && st.view.rotAngleOZ == 0);
  // The run accepts radii below 900; outside them the radius in effect stays.
  st.view.sphereRadius = localeNumber(Text9->text());
  if (st.view.sphereRadius > 0 && st.view.sphereRadius < 900) setUpRadius(st.view, st.view.sphereRadius);
  // The light and the model's constants, the inclination rounded as the box rounds it.
  st.lm.sourceInclination = inclinationRadians(localeNumber(Text4[0]->text()));
  setUpLight(st.lm);
  st.lm.specularShare = toSingle(localeNumber(Text5->text()));
  st.lm.peakSharpness = toSingle(localeNumber(Text6->text()));
  setUpParameters(st.lm);
  // Cleared and hidden: nothing is shown until the whole map is drawn.
  Picture1->raster().clear();
  Picture1->hide();
  // The run itself: its scratch, the scan and the mirror spot; a long one
  // shows how far it has come in place of the map.
  QElapsedTimer clock;
  clock.start();
  shadeMapOrComparison([&](double done) { showRunProgress(done, clock.nsecsElapsed() * 1e-9); });
  runProgress_->hide();
  // The whole map at once, and the pointer back.
  Picture1->show();
  setMousePointer(this, kPointerDefault);
  // The map now on show was drawn after any earlier failure: a notice of that
  // failure would stand over it and make this run look failed.
  dismissFailureNotice();
}

void Form1::showRunProgress(double done, double seconds) {
  if (runProgress_->isHidden()) {
    // The time the whole run will take, judged from the part done so far.
    const double expected = done > 0 ? seconds / done : seconds;
    if (expected < longRunSeconds) return;
    runProgress_->setValue(0);
    runProgress_->show();
    runProgress_->raise();
  }
  runProgress_->setValue(static_cast<int>(done * 100));
  // The window's events wait for the run, so the bar is painted at once.
  runProgress_->repaint();
}

void Form1::Picture1_MouseMove(float x, float y) {
  if (st.map.probeDisabled == kTrue) return;
  if (probeMark(x, y)) {
    probePoint_ = ProbePoint{x, y};
    emit probeShown();
    return;
  }
  if (showComparisonProbe(x, y)) return;
  const ProbeReading r = probeAt(st.view, st.lm, st.map, st.mirror, x, y, false);
  if (!r.shown) {
    Label12->hide();
    return;
  }
  Label12->setCaption(quantitySymbol(st.lm.surfaceModel) + QStringLiteral(" = ") +
                      QLocale().toString(static_cast<double>(r.phi), 'f', 3));
  Label12->show();
  Picture1->moveChild(Label12, x + 20.0, y + 20.0);
  probePoint_ = ProbePoint{x, y};
  emit probeShown();
}

void Form1::РисованиеПолусферыПримера() {
  Raster& picture = Picture2->raster();
  // The frame from the picture's current size, the half-disc as large to
  // the window as at 100 % at every screen scale.
  const ExampleFrame frame = exampleFrame(picture, Picture2->scale());
  // s and n as typed; a text that is not a number stops the drawing before anything is cleared.
  st.lm.specularShare = toSingle(localeNumber(Text5->text()));
  st.lm.peakSharpness = toSingle(localeNumber(Text6->text()));
  setUpParameters(st.lm);
  setUpLight(st.lm);
  // Cleared, then the arrows, the shaded half-disc and the mirror highlight.
  drawExample(picture, frame, st.lm, [this](int left) { Picture2->setChildLeft(Label16, left); });
}

void Form1::Command2_Click() { showAbout(this); }

}  // namespace korvalen
