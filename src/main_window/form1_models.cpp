// The added models of planetary photometry: selecting one and taking its parameters.
#include "main_window/form1.h"

namespace korvalen {

QString Form1::planetaryFormula(int32_t model, const PlanetaryParameters& p) {
  switch (model) {
    case kLommelSeeliger: return QStringLiteral("ф(i, e, g) = 2·cos(i)/(cos(i)+cos(e))");
    case kMinnaert: return QStringLiteral("ф(i, e, g) = cos(i)^k·cos(e)^(k−1)");
    case kLunarLambert: return QStringLiteral("ф(i, e, g) = (1−L)·cos(i)+2L·cos(i)/(cos(i)+cos(e))");
    case kAkimov: return QStringLiteral("ф(i, e, g) = cos(g/2)·R(γ, g)·cos(β)^(ηg/(π−g))");
    case kHapke: {
      // The porosity's K in front and in the H functions' arguments, the
      // coherent backscatter's factor before S; each only where it is on.
      // With the latter the formula drops its (i, e, g), and with both the
      // surge's (g) too, to end inside the window.
      const bool porous = p.hapke.porosity > 0, coherent = p.hapke.bc0 > 0;
      return (coherent ? QStringLiteral("ф = ") : QStringLiteral("ф(i, e, g) = ")) +
             (porous ? QStringLiteral("K·") : QString()) + QStringLiteral("w/4·μ₀ₑ/(μ₀ₑ+μₑ)·[") +
             (porous && coherent ? QStringLiteral("P(1+B)+") : QStringLiteral("P(g)(1+B(g))+")) +
             (porous ? QStringLiteral("H(μ₀ₑ/K)H(μₑ/K)") : QStringLiteral("H(μ₀ₑ)H(μₑ)")) + QStringLiteral("−1]·") +
             (coherent ? QStringLiteral("(1+Bc₀·Bc(g))·") : QString()) + QStringLiteral("S");
    }
    default: return {};
  }
}

// The probe reads the constants at once, even where the example's redraw
// stops early (its s or n box not holding a number).
void Form1::refreshPlanetaryConstants() {
  st.lm.planetaryRun =
      planetaryConstantsOf(st.lm.surfaceModel, st.lm.planetary, st.lm.sourceInclination, st.lm.cosG);
}

void Form1::selectPlanetaryModel(int32_t model) {
  if (!isPlanetaryModel(model)) return;
  st.lm.surfaceModel = model;
  // Cleared without a click: an exclusive button cannot be unchecked while it
  // is exclusive, and clearing one raises no handler.
  for (OptionButton* b : {Option1, Option2, Option3, Option4}) {
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
  }
  Label6->setEnabled(false);
  Label4->setEnabled(false);
  Label14->hide();
  Label15->hide();
  Label13->setCaption(planetaryFormula(model, st.lm.planetary));
  refreshPlanetaryConstants();
  emit surfaceModelChanged();
  РисованиеПолусферыПримера();
  requestLiveRun();
}

void Form1::setPlanetaryParameters(const PlanetaryParameters& p) {
  st.lm.planetary = p;
  if (isPlanetaryModel(st.lm.surfaceModel)) Label13->setCaption(planetaryFormula(st.lm.surfaceModel, p));
  refreshPlanetaryConstants();
  emit planetaryParametersChanged();
  РисованиеПолусферыПримера();
  requestLiveRun();
}

}  // namespace korvalen
