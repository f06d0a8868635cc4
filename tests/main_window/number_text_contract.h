#pragma once
// What the text-to-number procedure may leave in numberText: an optional
// leading minus, digits and at most one point. Shared by the fuzz test and
// the libFuzzer target.
#include <QString>

namespace korvalen {

inline bool isWellFormedNumberText(const QString& s) {
  int points = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('-') && i == 0) continue;
    if (c == QLatin1Char('.')) {
      ++points;
      continue;
    }
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  }
  return points <= 1;
}

}  // namespace korvalen
