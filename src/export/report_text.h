#pragma once
// The numbers of a fit as the windows show them: six significant digits in
// the window's locale (a decimal comma where it has one), no group
// separators, and never a NaN or an infinity.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstddef>

#include "observations/fit.h"

namespace korvalen {

inline constexpr int kShownDigits = 6;

// v with kShownDigits significant digits; "—" where v is not a finite number.
QString shownNumber(double v, const QLocale& locale);

// "w = 0,512345 ± 0,00123457", or "b = 0,3 — не определяется" where the
// observations cannot fix it; without the uncertainty when withSigma is false.
QString fittedValueText(const FittedValue& v, const QLocale& locale, bool withSigma = true);

// The free parameters and their values: "A (множитель) = 0,9; k = 0,7".
QString freeValuesText(const FitReport& r, const QLocale& locale);

// "1 точка", "3 точки", "1 200 точек".
QString pointsText(size_t n, const QLocale& locale);

// The report of a fit, one line a measure.
QStringList reportLines(const FitReport& r, const QLocale& locale);

}  // namespace korvalen
