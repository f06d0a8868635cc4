#pragma once
// The tables of the curves beside the map: the head every table of the
// program has, a header row, then one row a point.
#include <QByteArray>
#include <QString>

#include "profiles/equator_curve.h"
#include "profiles/phase_curve.h"
#include "profiles/probe_curves.h"

namespace korvalen {

// gamma,i,e,g,phi: angles in degrees; for the added models a comment line
// says that phi is the radiance factor I/F.
QByteArray equatorTable(const EquatorCurve& curve, const QString& command);

// g,relative: g in degrees, the brightness against g = 0. Empty of rows where
// the curve is not defined (a dark disc at g = 0).
QByteArray phaseTable(const PhaseCurve& curve, const QString& command);

// Why a phase curve has no values: the disc gives no light at g = 0.
QString phaseCurveUndefinedText();

// offset,row,column: phi along the row and along the column at each offset
// from the centre that either has, the cell empty where the probe shows
// nothing. A third comment line names the probe's point.
QByteArray probeTable(const ProbeCurves& curves, const QString& command);

}  // namespace korvalen
