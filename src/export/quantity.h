#pragma once
// The name of what the map shows: phi for the four models of the form, and
// for the added models of planetary photometry the radiance factor I/F (pi
// times the bidirectional reflectance), as that field names it. The probe,
// the curves' axes and the tables (their phi column named by a comment line)
// say the same.
#include <QString>
#include <cstdint>

#include "photometry/planetary.h"

namespace korvalen {

inline bool showsRadianceFactor(int32_t model) { return isPlanetaryModel(model); }

// Before a value: "ф = 0,500" under the form's models, "I/F = 0,500" under the added ones.
inline QString quantitySymbol(int32_t model) {
  return showsRadianceFactor(model) ? QStringLiteral("I/F") : QStringLiteral("ф");
}

// An axis or a title: "φ", or "I/F (радиационный фактор)".
inline QString quantityCaption(int32_t model) {
  return showsRadianceFactor(model) ? QStringLiteral("I/F (радиационный фактор)") : QStringLiteral("φ");
}

}  // namespace korvalen
