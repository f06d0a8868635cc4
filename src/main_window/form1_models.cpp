// The added models of planetary photometry: selecting one and taking its parameters.
#include "main_window/form1.h"

namespace korvalen {

QString Form1::planetaryFormula(int32_t model) {
  switch (model) {
    case kLommelSeeliger: return QStringLiteral("ф(i, e, g) = 2·cos(i)/(cos(i)+cos(e))");
    case kMinnaert: return QStringLiteral("ф(i, e, g) = cos(i)^k·cos(e)^(k−1)");
    case kLunarLambert: return QStringLiteral("ф(i, e, g) = (1−L)·cos(i)+2L·cos(i)/(cos(i)+cos(e))");
    case kAkimov: return QStringLiteral("ф(i, e, g) = cos(g/2)·R(γ, g)·cos(β)^(ηg/(π−g))");
    case kHapke:
      return QStringLiteral("ф(i, e, g) = w/4·μ₀ₑ/(μ₀ₑ+μₑ)·[P(g)(1+B(g))+H(μ₀ₑ)H(μₑ)−1]·S");
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
  Label13->setCaption(planetaryFormula(model));
  refreshPlanetaryConstants();
  emit surfaceModelChanged();
  РисованиеПолусферыПримера();
  requestLiveRun();
}

void Form1::setPlanetaryParameters(const PlanetaryParameters& p) {
  st.lm.planetary = p;
  refreshPlanetaryConstants();
  emit planetaryParametersChanged();
  РисованиеПолусферыПримера();
  requestLiveRun();
}

}  // namespace korvalen
