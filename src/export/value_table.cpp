#include "export/value_table.h"

#include "export/quantity.h"
#include "export/table_text.h"
#include "photometry/checked.h"
#include "photometry/probe.h"

namespace korvalen {

namespace {

// Radians as degrees, with the program's own pi.
double degrees(float radians) { return finite(static_cast<double>(radians) * 180 / kPi); }

}  // namespace

QByteArray valueTable(const MapRunState& run, const QString& command) {
  const bool radianceFactor = showsRadianceFactor(run.lm.surfaceModel);
  QByteArray out = tableHead(command, radianceFactor);
  out += "x,y,phi,i,e,g\n";
  const double g = phaseAngleDegrees(run.lm.sourceInclination);
  for (int y = 0; y < run.heightPixels; ++y) {
    for (int x = 0; x < run.widthPixels; ++x) {
      const ProbeReading r = probeAt(run.view, run.lm, run.map, run.mirror, static_cast<float>(x),
                                     static_cast<float>(y), true);
      if (!r.shown) continue;
      appendNumber(out, x);
      out += ',';
      appendNumber(out, y);
      out += ',';
      appendNumber(out, r.phi);
      out += ',';
      appendNumber(out, degrees(r.angles.angleI));
      out += ',';
      appendNumber(out, degrees(r.angles.angleE));
      out += ',';
      appendNumber(out, g);
      out += '\n';
    }
  }
  return out;
}

}  // namespace korvalen
