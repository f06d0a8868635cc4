#include "export/observation_tables.h"

#include <cmath>

#include "export/report_text.h"
#include "export/table_text.h"

namespace korvalen {

namespace {

void appendField(QByteArray& out, double v) {
  if (std::isfinite(v)) appendNumber(out, v);
}

const char* kUnfixed = "не определяется";

}  // namespace

QString radianceFactorText() {
  return QStringLiteral("phi — радиационный фактор I/F (π × двунаправленная отражательная способность)");
}

QByteArray evaluationTable(const ObservationTable& t, const std::vector<double>& phi,
                           const QString& command) {
  QByteArray out = tableHead(command);
  out += "# " + radianceFactorText().toUtf8() + "\n";
  out += "i,e,g,phi";
  if (t.hasValue()) out += t.hasSigma() ? ",value,sigma,residual" : ",value,residual";
  out += '\n';
  for (size_t r = 0; r < t.size(); ++r) {
    appendNumber(out, t.i[r]);
    out += ',';
    appendNumber(out, t.e[r]);
    out += ',';
    appendNumber(out, t.g[r]);
    out += ',';
    appendField(out, phi[r]);
    if (t.hasValue()) {
      out += ',';
      appendNumber(out, t.value[r]);
      if (t.hasSigma()) {
        out += ',';
        appendNumber(out, t.sigma[r]);
      }
      out += ',';
      appendField(out, t.value[r] - phi[r]);
    }
    out += '\n';
  }
  return out;
}

QByteArray residualTable(const ObservationTable& t, const std::vector<double>& model,
                         const QString& command) {
  QByteArray out = tableHead(command);
  out += "# " + radianceFactorText().toUtf8() + "\n";
  out += "line,i,e,g,measured,model,residual\n";
  for (size_t r = 0; r < t.size(); ++r) {
    const double phi = r < model.size() ? model[r] : NAN;
    const double measured = t.hasValue() ? t.value[r] : NAN;
    appendNumber(out, r < t.line.size() ? t.line[r] : static_cast<int32_t>(r + 1));
    for (const double v : {t.i[r], t.e[r], t.g[r], measured, phi, measured - phi}) {
      out += ',';
      appendField(out, v);
    }
    out += '\n';
  }
  return out;
}

QByteArray fitReportTable(const FitReport& r, const QString& command) {
  QByteArray out = tableHead(command);
  out += "name,value,sigma\n";
  for (const FittedValue& v : r.free) {
    out += kFitParameters[v.id].option;
    out += ',';
    appendNumber(out, v.value);
    out += ',';
    if (v.sigma)
      appendNumber(out, *v.sigma);
    else
      out += kUnfixed;
    out += '\n';
  }
  auto row = [&out](const char* name, double v) {
    out += name;
    out += ',';
    appendField(out, v);
    out += ",\n";
  };
  row("rms", r.rms);
  if (r.chi2) row("chi2", *r.chi2);
  if (r.reducedChi2) row("reduced_chi2", *r.reducedChi2);
  row("aic", r.aic);
  row("bic", r.bic);
  row("points", static_cast<double>(r.points));
  row("iterations", r.iterations);
  row("starts", r.starts);
  row("converged", r.converged ? 1 : 0);
  out += "termination," + QByteArray(r.termination.c_str()) + ",\n";
  return out;
}

QByteArray comparisonTable(const Comparison& c, const QString& command) {
  QByteArray out = tableHead(command);
  out += "model,free,parameters,rms,reduced_chi2,aic,bic,delta_bic\n";
  const double best = c.rows.empty() ? 0 : c.rows.front().bic;
  for (const FitReport& r : c.rows) {
    out += kModelNames[static_cast<size_t>(r.model)];
    out += ',';
    appendNumber(out, static_cast<int>(r.free.size()));
    out += ",\"";
    for (size_t j = 0; j < r.free.size(); ++j) {
      if (j > 0) out += ' ';
      out += kFitParameters[r.free[j].id].option;
      out += '=';
      appendNumber(out, r.free[j].value);
    }
    out += "\",";
    appendField(out, r.rms);
    out += ',';
    if (r.reducedChi2) appendField(out, *r.reducedChi2);
    out += ',';
    appendField(out, r.aic);
    out += ',';
    appendField(out, r.bic);
    out += ',';
    appendField(out, r.bic - best);
    out += '\n';
  }
  return out;
}

QString comparisonText(const Comparison& c) {
  const QLocale point = QLocale::c();
  QString s = QStringLiteral("Модели по BIC, лучшая первой:\n");
  const double best = c.rows.empty() ? 0 : c.rows.front().bic;
  for (const FitReport& r : c.rows) {
    s += QStringLiteral("  %1: ΔBIC = %2, BIC = %3, AIC = %4, RMS = %5")
             .arg(QString::fromUtf8(fitModelName(r.model)), shownNumber(r.bic - best, point),
                  shownNumber(r.bic, point), shownNumber(r.aic, point), shownNumber(r.rms, point));
    if (r.reducedChi2) s += QStringLiteral(", приведённый χ² = %1").arg(shownNumber(*r.reducedChi2, point));
    s += QStringLiteral("; %1\n").arg(freeValuesText(r, point));
  }
  return s;
}

}  // namespace korvalen
