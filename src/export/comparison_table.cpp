#include "export/comparison_table.h"

#include "export/quantity.h"
#include "export/table_text.h"

namespace korvalen {

QByteArray comparisonTable(const MapRunState& run, const ComparisonRunState& cmp, const QString& command) {
  const ComparisonGrid grid = compareOverSphere(run.view, run.map, run.lm, run.mirror, cmp.b, cmp.mirrorB,
                                                run.widthPixels, run.heightPixels);
  const bool ratio = cmp.kind == ComparisonKind::Ratio;
  QByteArray out = tableHead(command);
  for (const auto& [column, model] : {std::pair{"phi_a", run.lm.surfaceModel}, {"phi_b", cmp.b.surfaceModel}})
    if (showsRadianceFactor(model))
      out += QByteArray("# ") + column + QStringLiteral(" — радиационный фактор I/F\n").toUtf8();
  out += ratio ? QStringLiteral("# ratio = phi_a / phi_b; пусто там, где phi_b = 0 (отношения нет)\n").toUtf8()
               : QStringLiteral("# difference = phi_a − phi_b\n").toUtf8();
  out += ratio ? "x,y,phi_a,phi_b,ratio\n" : "x,y,phi_a,phi_b,difference\n";
  for (int y = 0; y < grid.height; ++y) {
    for (int x = 0; x < grid.width; ++x) {
      const size_t i = grid.index(x, y);
      if (!grid.shown[i]) continue;
      appendNumber(out, x);
      out += ',';
      appendNumber(out, y);
      out += ',';
      appendNumber(out, grid.phiA[i]);
      out += ',';
      appendNumber(out, grid.phiB[i]);
      out += ',';
      if (const std::optional<double> v = comparedValue(cmp.kind, grid.phiA[i], grid.phiB[i])) appendNumber(out, *v);
      out += '\n';
    }
  }
  return out;
}

}  // namespace korvalen
