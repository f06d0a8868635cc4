// libFuzzer entry: the text readings over arbitrary bytes, read both as UTF-8
// and as UTF-16, in the point and the comma locale. A broken contract aborts.
#include <QLocale>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "main_window/text_reading.h"
#include "main_window/number_text_contract.h"
#include "photometry/runtime_error.h"

namespace {

using namespace korvalen;

void check(bool ok) {
  if (!ok) std::abort();
}

void readAll(const QString& text) {
  TextConversion t;
  t.numberText = QStringLiteral("7");
  int32_t column = 0, row = 0;
  t.inputText = text;
  convertTextToNumber(t, column, row);
  if (text.isEmpty()) {
    check(t.inputEmpty == kTrue && t.numberText == QStringLiteral("7"));
  } else {
    check(t.inputEmpty == kFalse && isWellFormedNumberText(t.numberText));
    try {
      check(std::isfinite(cleanedReadingOf(t.numberText)));
    } catch (const RuntimeError& e) {
      check(e.kind() == ErrorKind::Overflow);
    }
  }
  for (const QLocale& loc : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
    QLocale::setDefault(loc);
    if (const std::optional<double> v = localeReadingOf(text)) check(std::isfinite(*v));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  readAll(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  readAll(QString::fromUtf16(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2)));
  return 0;
}
