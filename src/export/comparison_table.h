#pragma once
// The table of a comparison map's values: for every pixel where the probe
// shows a value, phi of model A and of model B as each one's own probe reads
// it, and their ratio or difference.
#include <QByteArray>
#include <QString>

#include "comparison/model_comparison.h"
#include "export/value_table.h"

namespace korvalen {

// What a comparison run compared: model B at the run's light, and the kind.
struct ComparisonRunState {
  LightAndModel b;
  MirrorSpot mirrorB;
  ComparisonKind kind = ComparisonKind::Ratio;
};

// CSV with the head of the map's value table (the program, the command that
// makes it again), a line for each model whose phi is the radiance factor and
// a line on the last column, then x,y,phi_a,phi_b,ratio (or difference), rows
// top to bottom, each left to right. The ratio is left empty where phi_b is 0.
QByteArray comparisonTable(const MapRunState& run, const ComparisonRunState& cmp, const QString& command);

}  // namespace korvalen
