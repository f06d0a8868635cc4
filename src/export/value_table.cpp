#include "export/value_table.h"

#include <charconv>

#include "export/command_line.h"
#include "photometry/checked.h"
#include "photometry/probe.h"

namespace korvalen {

namespace {

template <typename T>
void append(QByteArray& out, T v) {
  char buf[64];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, static_cast<qsizetype>(ptr - buf));
}

// Radians as degrees, with the program's own pi.
double degrees(float radians) { return finite(static_cast<double>(radians) * 180 / kPi); }

}  // namespace

QByteArray valueTable(const MapRunState& run, const QString& command) {
  QByteArray out;
  out += "# " + softwareName().toUtf8() + "\n";
  out += "# " + command.toUtf8() + "\n";
  out += "x,y,phi,i,e,g\n";
  const double g = degrees(run.lm.sourceInclination);
  for (int y = 0; y < run.heightPixels; ++y) {
    for (int x = 0; x < run.widthPixels; ++x) {
      const ProbeReading r = probeAt(run.view, run.lm, run.map, run.mirror, static_cast<float>(x),
                                     static_cast<float>(y), true);
      if (!r.shown) continue;
      append(out, x);
      out += ',';
      append(out, y);
      out += ',';
      append(out, r.phi);
      out += ',';
      append(out, degrees(r.angles.angleI));
      out += ',';
      append(out, degrees(r.angles.angleE));
      out += ',';
      append(out, g);
      out += '\n';
    }
  }
  return out;
}

}  // namespace korvalen
