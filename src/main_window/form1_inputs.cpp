// The text boxes: each change of a text is read, stored and shown as accepted
// or not (pale red). No handler ever rewrites what the user typed.
#include <cmath>
#include <limits>

#include "main_window/form1.h"
#include "main_window/text_reading.h"
#include "photometry/checked.h"
#include "photometry/geometry.h"

namespace korvalen {

void Form1::ПреобразованиеТекстаВЧисло() {
  convertTextToNumber(st, st.scanColumn, st.scanRow);
}

double Form1::cleanedReading() const { return cleanedReadingOf(st.numberText); }

std::optional<double> Form1::localeReading(const QString& text) { return localeReadingOf(text); }

double Form1::localeNumber(const QString& text) {
  const std::optional<double> v = localeReadingOf(text);
  if (!v) throw RuntimeError(ErrorKind::TypeMismatch);
  return *v;
}

// The grey tick of start-up becomes an ordinary tick once the view is no longer
// the start-up view; a clear box stays clear.
void Form1::checkRotationView() {
  Check1->setValue(st.view.visibleHalfOnly == kTrue ? 1 : 0);
}

bool Form1::collectNumber(TextBox* box) {
  st.inputText = box->text();
  ПреобразованиеТекстаВЧисло();
  if (st.inputEmpty == kTrue) {
    box->setBackColour(kNotAccepted);
    return false;
  }
  return true;
}

void Form1::Text1_Change() {
  if (!collectNumber(Text1)) return;
  try {
    const double v = cleanedReading();
    st.view.rotAngleOX = finite(v * kPi / 180);
    // Both other boxes are read whatever v is: either failing turns Text1 pale red.
    const double oy = localeNumber(Text2->text());
    const double oz = localeNumber(Text3[0]->text());
    const bool startUpView = v == 90 && oy == 0 && oz == 0;
    if (!startUpView) checkRotationView();
    Text1->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    Text1->setBackColour(kNotAccepted);
  }
}

// Text2 and Text3(0) judge all three rotation boxes and colour only themselves.
void Form1::judgeRotationBoxes(TextBox* own) {
  try {
    const double ox = localeNumber(Text1->text());
    const double oy = localeNumber(Text2->text());
    const double oz = localeNumber(Text3[0]->text());
    if (!(ox == 90 && oy == 0 && oz == 0)) checkRotationView();
    own->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    own->setBackColour(kNotAccepted);
  }
}

void Form1::Text2_Change() { judgeRotationBoxes(Text2); }

void Form1::Text3_Change(int16_t) { judgeRotationBoxes(Text3[0]); }

void Form1::Text4_Change(int16_t) {
  if (!collectNumber(Text4[0])) return;
  try {
    st.lm.sourceInclination = inclinationRadians(cleanedReading());
    Text4[0]->setBackColour(kAccepted);
    РисованиеПолусферыПримера();
  } catch (const RuntimeError&) {
    // Also a failed redraw (s or n not a number): the inclination stays stored.
    Text4[0]->setBackColour(kNotAccepted);
  }
}

// Rebuilds the glossy formula from the texts of s and n as typed.
void Form1::setGlossyFormula(bool rebuildExponent, bool rebuildTail) {
  const QString s = Text5->text();
  const QString n = Text6->text();
  Label13->setCaption(QStringLiteral("ф(i, e, g)= ") + s + QStringLiteral("·(") + n +
                      QStringLiteral("+1)/2·[2·cos(i)·cos(e) —cos(g)]"));
  Label14->setLeft(Label13->x() + Label13->width());
  if (rebuildExponent) Label14->setCaption(n);
  if (rebuildTail) Label15->setCaption(QStringLiteral("+(1—") + s + QStringLiteral(")·cos(i)"));
  Label15->setLeft(Label14->x() + Label14->width() + 1);
}

// An edit of s or n under the glossy model: the formula follows the texts as
// typed, and the example is redrawn.
void Form1::glossyParameterChanged(bool exponent, bool tail) {
  if (st.lm.surfaceModel != kGlossy) return;
  setGlossyFormula(exponent, tail);
  try {
    РисованиеПолусферыПримера();
  } catch (const RuntimeError&) {
    // s or n is not a number yet (the user is still typing): the example stays as it was.
  }
}

void Form1::Text5_Change() { glossyParameterChanged(false, true); }

void Form1::Text6_Change() { glossyParameterChanged(true, false); }

void Form1::Text7_Change(int16_t) {
  if (Timer1->enabled()) return;
  for (int r = 1; r <= 7; ++r) {
    TextBox* box = Text7[kLegendIndex[r]];
    const std::optional<double> v = localeReading(box->text());
    // A half-width is never taken from a text that is not a number: the row
    // keeps its previous one and the box shows that its text is not accepted.
    if (v && std::fabs(*v) <= std::numeric_limits<float>::max()) {
      st.iso.isolineHalfWidth[r] = toSingle(*v);
      box->setBackColour(kAccepted);
    } else {
      box->setBackColour(kNotAccepted);
    }
  }
}

void Form1::Text8_Change(int16_t) {
  if (Timer1->enabled()) return;
  for (int r = 1; r <= 7; ++r) {
    TextBox* box = Text8[kLegendIndex[r]];
    if (!collectNumber(box)) continue;  // the row keeps its level
    try {
      st.iso.isolineLevel[r] = toSingle(cleanedReading());
      box->setBackColour(kAccepted);
    } catch (const RuntimeError&) {
      box->setBackColour(kNotAccepted);
    }
  }
}

void Form1::Text9_Change() {
  if (!collectNumber(Text9)) return;
  try {
    const double r = cleanedReading();
    st.view.sphereRadius = r;  // stored whether or not it is accepted
    if (r <= 0 || r > 1000) {
      // The radius last accepted stays in effect.
      Text9->setBackColour(kNotAccepted);
      return;
    }
    setUpRadius(st.view, r, DiscLimitRounding::DivisionBySquare);
    Text9->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    Text9->setBackColour(kNotAccepted);
  }
}

}  // namespace korvalen
