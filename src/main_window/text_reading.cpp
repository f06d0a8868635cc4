#include "main_window/text_reading.h"

#include <QLocale>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <locale.h>

#include "photometry/checked.h"

namespace korvalen {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
const QChar kEmDash(0x2014);

}  // namespace

void convertTextToNumber(TextConversion& t, int32_t& scanColumn, int32_t& scanRow) {
  t.inputEmpty = kFalse;
  if (t.inputText.isEmpty()) {
    t.inputEmpty = kTrue;
    return;
  }
  t.numberText.clear();
  t.separatorFree = kTrue;
  const int32_t length = checkedInt32(t.inputText.size());
  for (scanColumn = 1; scanColumn <= length; ++scanColumn) {
    t.currentChar = t.inputText.mid(scanColumn - 1, 1);
    const QChar ch = t.currentChar.at(0);
    scanRow = ch.unicode();
    if (ch == QLatin1Char('-') || ch == kEmDash) {
      // The last minus typed wins and drops what was collected before it.
      t.numberText = QStringLiteral("-");
    } else if (isDigit(ch)) {
      t.numberText += ch;
    } else if (ch == QLatin1Char('.') || ch == QLatin1Char(',')) {
      if (t.separatorFree == kTrue) {
        t.numberText += QLatin1Char('.');
        t.separatorFree = kFalse;
      }
    }
    // Anything else is skipped.
  }
}

double cleanedReadingOf(const QString& numberText) {
  bool anyDigit = false;
  for (QChar c : numberText) anyDigit = anyDigit || isDigit(c);
  if (!anyDigit) return 0.0;
  // strtod in the C locale, whatever the user's locale is. A value too small
  // for a double reads as (nearly) 0; one too large is an overflow.
  static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  const std::string text = numberText.toStdString();
  errno = 0;
  const double v = strtod_l(text.c_str(), nullptr, cLocale);
  if (errno == ERANGE && std::isinf(v)) throw RuntimeError(ErrorKind::Overflow);
  return finite(v);
}

std::optional<double> localeReadingOf(const QString& text) {
  bool ok = false;
  const double v = QLocale().toDouble(text, &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace korvalen
