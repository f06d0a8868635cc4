// The surface models and the three check boxes.
#include <algorithm>
#include <cmath>

#include "main_window/form1.h"
#include "shading/colour_table.h"

namespace korvalen {

Colour legendSwatchColour(int row, int16_t isolineColours) {
  if (isolineColours != kDistinctColours) return kLegendColour[row];
  const Tint& c = kDistinctBandColour[row];
  return RGB(c.red, c.green, c.blue);
}

void Form1::selectModel(int32_t model, OptionButton* button, const QString& formula) {
  st.lm.surfaceModel = model;
  // Selecting the clicked button again raises nothing; clearing the others raises nothing.
  button->setChecked(true);
  Label6->setEnabled(false);
  Label4->setEnabled(false);
  Label14->hide();
  Label15->hide();
  Label13->setCaption(formula);
  emit surfaceModelChanged();
  РисованиеПолусферыПримера();
}

void Form1::Option1_Click() {
  selectModel(kMatte, Option1, QStringLiteral("ф(i, e, g) = cos(i)"));
}

void Form1::Option3_Click() {
  selectModel(kRocky, Option3, QStringLiteral("ф(i, e, g) = cos(i)·cos(e)"));
}

void Form1::Option4_Click() {
  selectModel(kMirror, Option4,
              QStringLiteral("ф(i, e, g) = 1 при i = e и g = 2·i, иначе ф(i, e, g) = 0"));
}

void Form1::Option2_Click() {
  st.lm.surfaceModel = kGlossy;
  Option2->setChecked(true);
  Label6->setEnabled(true);
  Label4->setEnabled(true);
  setGlossyFormula(true, true);
  Label14->show();
  Label15->show();
  emit surfaceModelChanged();
  РисованиеПолусферыПримера();
}

void Form1::Check1_Click() {
  // Above 0 is ticked: an ordinary tick or the grey one of start-up.
  if (Check1->value() > 0) {
    st.view.visibleHalfOnly = kTrue;
    Label1[0]->setCaption(QStringLiteral("Поворот полусферы по оси OX"));
  } else {
    st.view.visibleHalfOnly = kFalse;
    Label1[0]->setCaption(QStringLiteral("Поворот сферы по оси OX"));
  }
}

void Form1::Check1_Validate() { Check1_Click(); }

void Form1::Check2_Click() { st.iso.noSmoothing = Check2->value() < 1 ? kTrue : kFalse; }

void Form1::Check2_Validate() { Check2_Click(); }

namespace {
// The grey the shading gives a level, for the legend's swatch; a level outside
// 0..1 gives a grey clamped to black or white.
Colour levelGrey(float level) {
  const double v = std::floor(static_cast<double>(level) * 255);
  const int g = static_cast<int>(std::clamp(v, 0.0, 255.0));
  return RGB(g, g, g);
}

// The legend's swatches: each level's grey while the isolines are hidden,
// the rows' own colours otherwise.
void colourSwatches(Form1& f, bool grey) {
  for (int r = 1; r <= 7; ++r)
    f.Shape1[kLegendIndex[r]]->setFillColour(
        grey ? levelGrey(f.st.iso.isolineLevel[r]) : legendSwatchColour(r, f.st.iso.isolineColours));
}
}  // namespace

void Form1::Check3_Click() {
  const bool hidden = Check3->value() > 0;
  st.iso.isolinesHidden = hidden ? kTrue : kFalse;
  colourSwatches(*this, hidden);
  for (st.scanColumn = 1; st.scanColumn <= 7; ++st.scanColumn) Label1[st.scanColumn]->setEnabled(!hidden);
  for (int j = 4; j <= 10; ++j) Label2[j]->setEnabled(!hidden);
}

void Form1::Check3_Validate() {
  // On leaving the box only the flag and the swatches follow it, and only an
  // ordinary tick counts as ticked here.
  const bool hidden = Check3->value() == 1;
  st.iso.isolinesHidden = hidden ? kTrue : kFalse;
  colourSwatches(*this, hidden);
}

void Form1::setIsolineColours(int16_t colours) {
  if (colours == st.iso.isolineColours) return;
  st.iso.isolineColours = colours;
  // The swatches show the bands' colours; while the isolines are hidden they
  // keep the levels' greys.
  if (st.iso.isolinesHidden != kTrue) colourSwatches(*this, false);
  emit viewOptionsChanged();
  requestLiveRun();
}

}  // namespace korvalen
