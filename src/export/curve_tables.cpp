#include "export/curve_tables.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "export/table_text.h"

namespace korvalen {

QByteArray equatorTable(const EquatorCurve& curve, const QString& command) {
  QByteArray out = tableHead(command, curve.radianceFactor);
  out += "gamma,i,e,g,phi\n";
  for (const EquatorPoint& p : curve.points) {
    appendNumber(out, p.gamma);
    out += ',';
    appendNumber(out, p.i);
    out += ',';
    appendNumber(out, p.e);
    out += ',';
    appendNumber(out, curve.g);
    out += ',';
    appendNumber(out, p.phi);
    out += '\n';
  }
  return out;
}

QByteArray phaseTable(const PhaseCurve& curve, const QString& command) {
  QByteArray out = tableHead(command);
  out += "g,relative\n";
  if (!curve.defined) return out;
  for (const PhasePoint& p : curve.points) {
    appendNumber(out, p.g);
    out += ',';
    appendNumber(out, p.relative);
    out += '\n';
  }
  return out;
}

QString phaseCurveUndefinedText() {
  return QStringLiteral("фазовая кривая не определена: при g = 0 диск не даёт света");
}

QByteArray probeTable(const ProbeCurves& curves, const QString& command) {
  QByteArray out = tableHead(command, curves.radianceFactor);
  out += "# точка зонда x,y: ";
  appendNumber(out, curves.x);
  out += ',';
  appendNumber(out, curves.y);
  out += "\noffset,row,column\n";
  // Offsets are whole pixels: the row's and the column's, side by side.
  std::map<double, std::pair<std::optional<float>, std::optional<float>>> rows;
  for (const ProbeSample& s : curves.row)
    if (s.shown) rows[s.offset].first = s.phi;
  for (const ProbeSample& s : curves.column)
    if (s.shown) rows[s.offset].second = s.phi;
  for (const auto& [offset, values] : rows) {
    appendNumber(out, offset);
    out += ',';
    if (values.first) appendNumber(out, *values.first);
    out += ',';
    if (values.second) appendNumber(out, *values.second);
    out += '\n';
  }
  return out;
}

}  // namespace korvalen
