#include "export/report_text.h"

#include <cmath>

namespace korvalen {

QString shownNumber(double v, const QLocale& locale) {
  if (!std::isfinite(v)) return QStringLiteral("—");
  if (v == 0) v = 0;  // no "-0"
  QLocale l = locale;
  l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
  return l.toString(v, 'g', kShownDigits);
}

QString fittedValueText(const FittedValue& v, const QLocale& locale, bool withSigma) {
  // θ̄ is an angle in degrees, as its field has it.
  const QString unit = v.id == kFitTheta ? QStringLiteral("°") : QString();
  QString s = QString::fromUtf8(kFitParameters[v.id].label) + QStringLiteral(" = ") +
              shownNumber(v.value, locale) + unit;
  if (!withSigma) return s;
  if (v.sigma && std::isfinite(*v.sigma))
    return s + QStringLiteral(" ± ") + shownNumber(*v.sigma, locale) + unit;
  return s + QStringLiteral(" — не определяется");
}

QString freeValuesText(const FitReport& r, const QLocale& locale) {
  QStringList parts;
  for (const FittedValue& v : r.free) parts << fittedValueText(v, locale, false);
  return parts.join(QStringLiteral("; "));
}

QString pointsText(size_t n, const QLocale& locale) {
  const size_t last = n % 10, lastTwo = n % 100;
  const char* word = last == 1 && lastTwo != 11                               ? "точка"
                     : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? "точки"
                                                                                 : "точек";
  return locale.toString(static_cast<qulonglong>(n)) + QLatin1Char(' ') + QString::fromUtf8(word);
}

QStringList reportLines(const FitReport& r, const QLocale& locale) {
  QStringList lines;
  lines << QStringLiteral("Модель %1, наблюдений: %2")
               .arg(QString::fromUtf8(fitModelName(r.model)),
                    locale.toString(static_cast<qulonglong>(r.points)));
  for (const FittedValue& v : r.free) lines << fittedValueText(v, locale);
  lines << QStringLiteral("RMS = ") + shownNumber(r.rms, locale);
  if (r.chi2 && r.reducedChi2)
    lines << QStringLiteral("χ² = %1; приведённый χ² = %2")
                 .arg(shownNumber(*r.chi2, locale), shownNumber(*r.reducedChi2, locale));
  else
    lines << QStringLiteral("χ² не считается: в наблюдениях нет погрешностей σ");
  lines << QStringLiteral("AIC = %1; BIC = %2").arg(shownNumber(r.aic, locale), shownNumber(r.bic, locale));
  lines << QStringLiteral("Итераций: %1; начальных точек: %2").arg(r.iterations).arg(r.starts);
  lines << (r.converged ? QStringLiteral("Сошёлся: да")
                        : QStringLiteral("Сошёлся: нет, значения могут быть неточны"));
  lines << QStringLiteral("Итог: ") + QString::fromStdString(r.termination);
  return lines;
}

}  // namespace korvalen
